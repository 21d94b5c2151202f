#include "glypheditor.h"
#include "outputtext.h"
#include "readoutreference.h"

#include <QTest>

#include <random>
#include <string>
#include <vector>

// A long differential soak: random sessions of user actions played on the
// editor and output cores and, in lockstep, on the small model below, which
// is written straight from the rules with its own pixels, readout texts and
// line building, over the reference readout computation. After every action
// every readout text, Text2, the output text and the lock must agree.
//
// KELVOR_SOAK_SEED and KELVOR_SOAK_SESSIONS change the seed and the number of
// sessions; a failure names the seed, session and action to replay.
class tst_Soak : public QObject
{
    Q_OBJECT

private slots:
    void randomSessionsAgreeWithModel();
};

namespace {

constexpr int kSessions = 1000;
constexpr int kActionsPerSession = 200;
constexpr quint32 kDefaultSeed = 0x4B454C56; // "KELV"

// The behaviour as a user sees it, kept as plainly as possible.
struct Model
{
    static constexpr int kMax = 16;

    int cols = kMax;
    int rows = kMax;
    bool pixel[kMax][kMax] = {}; // [row][col]
    std::string colText[kMax];
    std::string rowText[kMax];
    bool vertical = false;
    bool leftToRight = false;
    bool locked = false;
    std::u16string text2;
    std::u16string text1;
    std::u16string prefix = u"$";
    std::u16string delimiter = u",";

    void click(int row, int col)
    {
        using ReadoutReference::Order;
        pixel[row][col] = !pixel[row][col];
        const auto isSet = [this](int r, int c) { return pixel[r][c]; };
        std::u16string joined;
        if (vertical) {
            colText[col] = ReadoutReference::text(
                    ReadoutReference::lineValue(isSet, rows, cols, Order::Vertical, col), cols);
            for (int c = 0; c < cols; ++c) {
                colText[c] = ReadoutReference::padded(colText[c], cols);
                joined.append(colText[c].begin(), colText[c].end());
            }
        } else {
            const Order order = leftToRight ? Order::HorizontalLeftToRight : Order::Horizontal;
            rowText[row] = ReadoutReference::text(ReadoutReference::lineValue(isSet, rows, cols, order, row), rows);
            for (int r = 0; r < rows; ++r) {
                rowText[r] = ReadoutReference::padded(rowText[r], rows);
                joined.append(rowText[r].begin(), rowText[r].end());
            }
        }
        text2 = joined;
        locked = true;
    }

    void invert()
    {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c)
                pixel[r][c] = !pixel[r][c];
        }
    }

    void clear()
    {
        for (int i = 0; i < kMax; ++i) {
            colText[i].clear();
            rowText[i].clear();
            for (int j = 0; j < kMax; ++j)
                pixel[i][j] = false;
        }
        text2.clear();
        locked = false;
    }

    // Cells beyond the new size are gone, so they come back clear and empty.
    void setCols(int n)
    {
        cols = n;
        for (int c = n; c < kMax; ++c) {
            colText[c].clear();
            for (int r = 0; r < kMax; ++r)
                pixel[r][c] = false;
        }
    }

    void setRows(int n)
    {
        rows = n;
        for (int r = n; r < kMax; ++r) {
            rowText[r].clear();
            for (int c = 0; c < kMax; ++c)
                pixel[r][c] = false;
        }
    }

    void chooseVertical()
    {
        if (locked)
            return;
        vertical = true;
        leftToRight = false;
    }

    void chooseHorizontal()
    {
        if (!locked)
            vertical = false;
    }

    void setLeftToRight(bool on)
    {
        if (!locked && !vertical)
            leftToRight = on;
    }

    static bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
    static bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

    void copyToText()
    {
        std::u16string s = text2;
        while (!s.empty() && s.front() == u' ')
            s.erase(0, 1);
        while (!s.empty() && s.back() == u' ')
            s.pop_back();
        // One element per character: a surrogate pair is one.
        std::vector<std::u16string> characters;
        for (size_t i = 0; i < s.size(); ++i) {
            if (isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1])) {
                characters.push_back(s.substr(i, 2));
                ++i;
            } else {
                characters.push_back(s.substr(i, 1));
            }
        }
        for (size_t i = 0; i < characters.size(); i += 2) {
            text1 += prefix + characters[i];
            if (i + 1 < characters.size())
                text1 += characters[i + 1];
            text1 += delimiter;
        }
        text1 += u"\r\n";
    }
};

class Random
{
public:
    explicit Random(quint32 seed, int session)
    {
        std::seed_seq sequence{seed, quint32(session)};
        m_engine.seed(sequence);
    }

    // The modulo keeps sequences the same on every standard library, which
    // the distributions do not promise.
    int below(int n) { return int(m_engine() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

    // Mostly hex digits, with blanks, line breaks, controls, right-to-left
    // text, surrogate pairs and lone surrogates mixed in.
    std::u16string text(int maxLength, int oddPercent)
    {
        static const char16_t odd[] = {u' ', u'\r', u'\n', u'\t', 0, 0xA0, 0x05D0, 0x0627, 0x202E,
                                       0x2028, 0xFFFF, 0xFDD0, 0xD800, 0xDC00, u'a', u'g'};
        std::u16string text;
        for (int n = below(maxLength + 1); n > 0; --n) {
            if (chance(oddPercent)) {
                if (chance(20))
                    text += u"\U0001F600";
                else
                    text += odd[below(int(sizeof odd / sizeof odd[0]))];
            } else {
                text += u"0123456789ABCDEF"[below(16)];
            }
        }
        return text;
    }

private:
    std::mt19937 m_engine;
};

QString qs(const std::u16string &text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}

bool same(const QString &actual, const std::u16string &expected)
{
    return QStringView(actual) == QStringView(expected.data(), qsizetype(expected.size()));
}

// The first way the cores differ from the model, or an empty string.
QString difference(const Model &model, const GlyphEditor &editor, const OutputText &output)
{
    const Grid &grid = editor.Grid1();
    if (grid.cols() != model.cols || grid.rows() != model.rows)
        return QStringLiteral("matrix is %1 x %2, model %3 x %4")
                .arg(grid.cols()).arg(grid.rows()).arg(model.cols).arg(model.rows);
    if (editor.colGrid().cols() != model.cols || editor.rowGrid().rows() != model.rows)
        return QStringLiteral("readout sizes differ from the matrix");
    for (int r = 0; r < model.rows; ++r) {
        for (int c = 0; c < model.cols; ++c) {
            if ((grid.cellBackColorAt(r, c) == GlyphEditor::kSetColour) != model.pixel[r][c])
                return QStringLiteral("pixel (%1, %2) differs").arg(r).arg(c);
        }
    }
    for (int c = 0; c < model.cols; ++c) {
        if (editor.colGrid().textAt(0, c) != QLatin1String(model.colText[c].c_str()))
            return QStringLiteral("colGrid cell %1 is \"%2\", model \"%3\"")
                    .arg(c).arg(editor.colGrid().textAt(0, c), QLatin1String(model.colText[c].c_str()));
    }
    for (int r = 0; r < model.rows; ++r) {
        if (editor.rowGrid().textAt(r, 0) != QLatin1String(model.rowText[r].c_str()))
            return QStringLiteral("rowGrid cell %1 is \"%2\", model \"%3\"")
                    .arg(r).arg(editor.rowGrid().textAt(r, 0), QLatin1String(model.rowText[r].c_str()));
    }
    if (!same(editor.Text2(), model.text2))
        return QStringLiteral("Text2 is \"%1\", model \"%2\"").arg(editor.Text2(), qs(model.text2));
    if (editor.frmmatrixEnabled() == model.locked)
        return QStringLiteral("frmmatrix enabled is %1").arg(editor.frmmatrixEnabled());
    if (editor.optvertValue() != model.vertical || (editor.chkdirValue() == 1) != model.leftToRight)
        return QStringLiteral("orientation or bit order differs");
    const QString text1 = output.Text1();
    if (!same(text1, model.text1)) {
        qsizetype at = 0;
        while (at < text1.size() && at < qsizetype(model.text1.size()) && text1[at] == model.text1[size_t(at)])
            ++at;
        return QStringLiteral("Text1 differs from character %1 on (%2 characters, model %3)")
                .arg(at).arg(text1.size()).arg(model.text1.size());
    }
    return QString();
}

} // namespace

void tst_Soak::randomSessionsAgreeWithModel()
{
    const quint32 seed = qEnvironmentVariableIsSet("KELVOR_SOAK_SEED")
            ? quint32(qEnvironmentVariableIntValue("KELVOR_SOAK_SEED"))
            : kDefaultSeed;
    const int sessions = qEnvironmentVariableIsSet("KELVOR_SOAK_SESSIONS")
            ? qEnvironmentVariableIntValue("KELVOR_SOAK_SESSIONS")
            : kSessions;

    for (int session = 0; session < sessions; ++session) {
        Random random(seed, session);
        StringTextBox Text2;
        GlyphEditor editor(Text2);
        StringTextBox Text1;
        OutputText output(Text1);
        editor.opthoriz_Click();
        editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);
        Model model;

        for (int step = 0; step < kActionsPerSession; ++step) {
            QString action;
            const int roll = random.below(100);
            if (roll < 40) {
                const int row = random.below(model.rows);
                const int col = random.below(model.cols);
                action = QStringLiteral("click (%1, %2)").arg(row).arg(col);
                editor.Grid1_Click(row, col);
                model.click(row, col);
            } else if (roll < 43) {
                action = QStringLiteral("Invert");
                editor.cmdInverse_Click();
                model.invert();
            } else if (roll < 48) {
                action = QStringLiteral("Clear");
                editor.Command6_Click();
                model.clear();
            } else if (roll < 54) {
                const int n = GlyphEditor::kMatrixMin + random.below(14);
                const bool width = random.chance(50);
                action = QStringLiteral("%1 %2").arg(width ? "width" : "height").arg(n);
                if (width) {
                    editor.lstCol_Click(QString::number(n));
                    model.setCols(n);
                } else {
                    editor.lstRow_Click(QString::number(n));
                    model.setRows(n);
                }
            } else if (roll < 58) {
                action = QStringLiteral("Vert");
                editor.optvert_Click();
                model.chooseVertical();
            } else if (roll < 62) {
                action = QStringLiteral("Horiz");
                editor.opthoriz_Click();
                model.chooseHorizontal();
            } else if (roll < 66) {
                const bool on = random.chance(50);
                action = QStringLiteral("Lt to Rt %1").arg(on ? "checked" : "unchecked");
                editor.setChkdirValue(on ? 1 : 0);
                model.setLeftToRight(on);
            } else if (roll < 71) {
                const std::u16string text = random.text(40, 10);
                action = QStringLiteral("Text2 typed \"%1\"").arg(qs(text));
                Text2.setText(qs(text));
                model.text2 = text;
            } else if (roll < 74) {
                model.prefix = random.text(4, 60);
                action = QStringLiteral("prefix \"%1\"").arg(qs(model.prefix));
                output.txtfmt_Change(qs(model.prefix));
            } else if (roll < 77) {
                model.delimiter = random.text(4, 60);
                action = QStringLiteral("delimiter \"%1\"").arg(qs(model.delimiter));
                output.txtdelim_Change(qs(model.delimiter));
            } else if (roll < 96) {
                action = QStringLiteral("Copy to Text");
                QVERIFY(output.Command1_Click(editor.Text2()));
                model.copyToText();
            } else {
                action = QStringLiteral("Clear output");
                output.Command9_Click();
                model.text1.clear();
            }

            const QString diff = difference(model, editor, output);
            if (!diff.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seed %1, session %2, action %3 (%4): %5")
                                         .arg(seed).arg(session).arg(step).arg(action, diff)));
            }
        }
    }
}

QTEST_APPLESS_MAIN(tst_Soak)
#include "tst_soak.moc"
