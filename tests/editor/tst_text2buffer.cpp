#include "text2buffer.h"

#include <QTest>

// The buffer in front of the Text2 box: when it writes the box and when it
// reads it.
class tst_Text2Buffer : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReads_data();
    void writesAndReads();
};

namespace {
// A box that counts what the buffer does to it.
class CountingBox final : public TextBox
{
public:
    QString text() const override
    {
        ++reads;
        return m_text;
    }
    void setText(const QString &text) override
    {
        ++writes;
        type(text);
    }
    qsizetype length() const override { return m_text.size(); }
    quint64 revision() const override { return m_revision; }
    void appendPart(QStringView part) override { type(m_text + part.toString()); }

    // The user edits the text.
    void type(const QString &text)
    {
        m_text = text;
        ++m_revision;
    }
    QString content() const { return m_text; }

    mutable int reads = 0;
    int writes = 0;

private:
    QString m_text;
    quint64 m_revision = 0;
};
} // namespace

void tst_Text2Buffer::writesAndReads_data()
{
    QTest::addColumn<QString>("start"); // in the box before the buffer is made
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("reads");
    QTest::addColumn<bool>("setInStep");

    QTest::newRow("a step's texts reach the box once") << "" << "set:1 set:12 set:123 flush" << "123" << 1 << 0 << true;
    QTest::newRow("a held text is read, not the box") << "start" << "set:ab read" << "start" << 0 << 0 << true;
    QTest::newRow("nothing held, nothing written") << "start" << "flush read" << "start" << 0 << 1 << false;
    QTest::newRow("flushed twice, written once") << "" << "set:ab flush flush" << "ab" << 1 << 0 << true;
    QTest::newRow("the box read once while unchanged") << "start" << "read read read" << "start" << 0 << 1 << false;
    QTest::newRow("read again after an edit") << "start" << "read type:XY read read" << "XY" << 0 << 2 << false;
    QTest::newRow("a written text is not read back") << "start" << "set:ab flush read read" << "ab" << 1 << 0 << true;
    QTest::newRow("empty over an empty box") << "" << "set: flush" << "" << 0 << 0 << false;
    QTest::newRow("empty over an emptied box") << "ab" << "read type: set: flush" << "" << 0 << 1 << false;
    QTest::newRow("empty over a text") << "ab" << "set: flush" << "" << 1 << 0 << true;
    QTest::newRow("empty over a held text") << "" << "set:ab set: read flush" << "" << 1 << 0 << true;
    QTest::newRow("put of another text") << "ab" << "put:cd read" << "cd" << 1 << 1 << false;
    QTest::newRow("put of the same text") << "ab" << "put:ab read" << "ab" << 0 << 1 << false;
    QTest::newRow("put over a held text") << "ab" << "set:cd put:ef flush" << "ef" << 1 << 0 << true;
    QTest::newRow("a step that sets nothing") << "ab" << "set:cd flush step read" << "cd" << 1 << 0 << false;
    QTest::newRow("a step that sets") << "ab" << "step set:cd" << "ab" << 0 << 0 << true;
}

void tst_Text2Buffer::writesAndReads()
{
    QFETCH(QString, start);
    QFETCH(QString, script);
    QFETCH(QString, box);

    CountingBox Text2;
    Text2.type(start);
    Text2Buffer buffer(Text2);
    QString expected = start; // what text() must give: the last text set, put or typed
    for (const QString &token : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString operation = token.section(u':', 0, 0);
        const QString argument = token.section(u':', 1);
        if (operation == u"set") {
            buffer.set(argument);
            expected = argument;
        } else if (operation == u"put") {
            buffer.put(argument);
            expected = argument;
        } else if (operation == u"type") {
            Text2.type(argument);
            expected = argument;
        } else if (operation == u"flush") {
            buffer.flush();
        } else if (operation == u"step") {
            buffer.beginStep();
        } else {
            QCOMPARE(buffer.text(), expected);
        }
    }
    QCOMPARE(Text2.content(), box);
    QTEST(Text2.writes, "writes");
    QTEST(Text2.reads, "reads");
    QTEST(buffer.setInStep(), "setInStep");
}

QTEST_APPLESS_MAIN(tst_Text2Buffer)
#include "tst_text2buffer.moc"
