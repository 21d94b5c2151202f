#pragma once

#include "textbox.h"

#include <QString>

// The hex string Text2 as the editor's handlers see it, in front of its box.
//
// A handler sets Text2 many times over (a stroke, a transform or a drawing
// clicks many cells); the buffer holds the text and writes it into the box
// once, when flush() is called at the end of the step. Reading goes through
// the text last read from or written to the box, read again only when the
// box's revision shows that it may have changed: a hex string of megabytes
// is not read for every step while it stays as it is, and the steps that
// keep it share one copy.
class Text2Buffer
{
public:
    // `box` must outlive the buffer.
    explicit Text2Buffer(TextBox &box)
        : m_box(box)
    {
    }

    // The text held for the box, else the box's own.
    QString text() const;

    // Holds `text` for the box until flush(). An empty text over an empty
    // one is no change and holds nothing.
    void set(const QString &text);
    // Writes the text held, if any, into the box.
    void flush();
    // Writes `text` into the box at once, unless that is the text already.
    void put(const QString &text);

    // Whether set() took a text since beginStep(): a step that set none
    // left the text as it was.
    void beginStep() { m_setInStep = false; }
    bool setInStep() const { return m_setInStep; }

private:
    void write(const QString &text);

    TextBox &m_box;
    QString m_held;
    bool m_isHeld = false;
    bool m_setInStep = false;
    // The box's text as last read or written, and the box's revision then.
    mutable QString m_read;
    mutable quint64 m_revision = 0;
    mutable bool m_known = false;
};
