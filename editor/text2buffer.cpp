#include "text2buffer.h"

#include <utility>

QString Text2Buffer::text() const
{
    if (m_isHeld)
        return m_held;
    if (!m_known || m_box.revision() != m_revision) {
        m_read = m_box.text();
        m_revision = m_box.revision();
        m_known = true;
    }
    return m_read;
}

void Text2Buffer::set(const QString &text)
{
    // The box's length tells whether it is empty without reading its text.
    const bool empty = m_isHeld ? m_held.isEmpty() : m_box.length() == 0;
    if (text.isEmpty() && empty)
        return;
    m_held = text;
    m_isHeld = true;
    m_setInStep = true;
}

void Text2Buffer::flush()
{
    if (!m_isHeld)
        return;
    m_isHeld = false;
    write(std::exchange(m_held, QString()));
}

void Text2Buffer::put(const QString &text)
{
    const QString present = this->text();
    if (present.isSharedWith(text) || present == text)
        return;
    m_isHeld = false;
    m_held = QString();
    write(text);
}

void Text2Buffer::write(const QString &text)
{
    m_read = text;
    m_box.setText(m_read);
    m_revision = m_box.revision();
    m_known = true;
}
