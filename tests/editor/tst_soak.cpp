#include "glypheditor.h"
#include "outputtext.h"
#include "readoutreference.h"
#include "stringtextbox.h"

#include <QTest>

#include <algorithm>
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
    bool coloured[kMax][kMax] = {}; // clicked or inverted since Clear: white when not set
    std::string colText[kMax];
    std::string rowText[kMax];
    bool vertical = false;
    bool leftToRight = false;
    bool locked = false;
    std::u16string text2;
    std::string lstCol = "Width";
    std::string lstRow = "Height";

    // Everything undo puts back.
    bool sameDrawingState(const Model &other) const
    {
        return cols == other.cols && rows == other.rows && std::equal(&pixel[0][0], &pixel[0][0] + kMax * kMax, &other.pixel[0][0])
                && std::equal(&coloured[0][0], &coloured[0][0] + kMax * kMax, &other.coloured[0][0])
                && std::equal(colText, colText + kMax, other.colText) && std::equal(rowText, rowText + kMax, other.rowText)
                && vertical == other.vertical && leftToRight == other.leftToRight && locked == other.locked
                && text2 == other.text2 && lstCol == other.lstCol && lstRow == other.lstRow;
    }


    void click(int row, int col)
    {
        using ReadoutReference::Order;
        pixel[row][col] = !pixel[row][col];
        coloured[row][col] = true;
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
            for (int c = 0; c < cols; ++c) {
                pixel[r][c] = !pixel[r][c];
                coloured[r][c] = true;
            }
        }
    }

    // A stroke only sets or only clears: the state of its first cell.
    void stroke(const std::vector<std::pair<int, int>> &path)
    {
        click(path.front().first, path.front().second);
        const bool sets = pixel[path.front().first][path.front().second];
        for (const auto &[r, c] : path) {
            if (pixel[r][c] != sets)
                click(r, c);
        }
    }

    // A new drawing is the grid cleared and its set cells clicked, row by
    // row; a turned one takes its size as if chosen from the lists first.
    void redraw(const std::vector<std::vector<bool>> &cells, bool turned)
    {
        clear();
        const int newRows = int(cells.size());
        const int newCols = int(cells.front().size());
        if (turned) {
            setCols(newCols);
            setRows(newRows);
        }
        for (int r = 0; r < newRows; ++r) {
            for (int c = 0; c < newCols; ++c) {
                if (cells[size_t(r)][size_t(c)])
                    click(r, c);
            }
        }
    }

    // The drawing shifted, mirrored or turned; `kind` is one of "<>^vHV][".
    void transform(char kind)
    {
        const bool turned = kind == ']' || kind == '[';
        const int newRows = turned ? cols : rows;
        const int newCols = turned ? rows : cols;
        std::vector<std::vector<bool>> cells(size_t(newRows), std::vector<bool>(size_t(newCols), false));
        for (int r = 0; r < newRows; ++r) {
            for (int c = 0; c < newCols; ++c) {
                int fromRow = r;
                int fromCol = c;
                switch (kind) {
                case '<': fromCol = c + 1; break;
                case '>': fromCol = c - 1; break;
                case '^': fromRow = r + 1; break;
                case 'v': fromRow = r - 1; break;
                case 'H': fromCol = cols - 1 - c; break;
                case 'V': fromRow = rows - 1 - r; break;
                case ']': fromRow = rows - 1 - c; fromCol = r; break;
                case '[': fromRow = c; fromCol = cols - 1 - r; break;
                }
                cells[size_t(r)][size_t(c)] = fromRow >= 0 && fromRow < rows && fromCol >= 0 && fromCol < cols
                        && pixel[fromRow][fromCol];
            }
        }
        redraw(cells, turned);
    }

    void clear()
    {
        for (int i = 0; i < kMax; ++i) {
            colText[i].clear();
            rowText[i].clear();
            for (int j = 0; j < kMax; ++j)
                pixel[i][j] = coloured[i][j] = false;
        }
        text2.clear();
        locked = false;
    }

    // Cells beyond the new size are gone, so they come back clear and empty.
    void setCols(int n)
    {
        cols = n;
        lstCol = std::to_string(n);
        for (int c = n; c < kMax; ++c) {
            colText[c].clear();
            for (int r = 0; r < kMax; ++r)
                pixel[r][c] = coloured[r][c] = false;
        }
    }

    void setRows(int n)
    {
        rows = n;
        lstRow = std::to_string(n);
        for (int r = n; r < kMax; ++r) {
            rowText[r].clear();
            for (int c = 0; c < kMax; ++c)
                pixel[r][c] = coloured[r][c] = false;
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

};

// The output text and its format, which undo leaves alone.
struct OutputModel
{
    std::u16string text1;
    std::u16string prefix = u"$";
    std::u16string delimiter = u",";

    static bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
    static bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

    void copyToText(const std::u16string &text2)
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
QString difference(const Model &model, const OutputModel &outputModel, const GlyphEditor &editor,
                   const TextBox &Text1)
{
    const Grid &grid = editor.Grid1();
    if (grid.cols() != model.cols || grid.rows() != model.rows)
        return QStringLiteral("matrix is %1 x %2, model %3 x %4")
                .arg(grid.cols()).arg(grid.rows()).arg(model.cols).arg(model.rows);
    if (editor.colGrid().cols() != model.cols || editor.rowGrid().rows() != model.rows)
        return QStringLiteral("readout sizes differ from the matrix");
    for (int r = 0; r < model.rows; ++r) {
        for (int c = 0; c < model.cols; ++c) {
            const Colour expected = model.pixel[r][c] ? GlyphEditor::kSetColour
                    : model.coloured[r][c]            ? GlyphEditor::kClearColour
                                                      : Colours::kNone;
            if (grid.cellBackColorAt(r, c) != expected)
                return QStringLiteral("pixel (%1, %2) differs").arg(r).arg(c);
        }
    }
    if (editor.lstColText() != QLatin1String(model.lstCol.c_str())
        || editor.lstRowText() != QLatin1String(model.lstRow.c_str()))
        return QStringLiteral("the lists show %1 x %2").arg(editor.lstColText(), editor.lstRowText());
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
    const QString text1 = Text1.text();
    if (!same(text1, outputModel.text1)) {
        qsizetype at = 0;
        while (at < text1.size() && at < qsizetype(outputModel.text1.size()) && text1[at] == outputModel.text1[size_t(at)])
            ++at;
        return QStringLiteral("Text1 differs from character %1 on (%2 characters, model %3)")
                .arg(at).arg(text1.size()).arg(outputModel.text1.size());
    }
    return QString();
}

// One of the faster editing actions, on the editor and the model alike: a
// stroke, undo, redo, a transform, or a drawing from bytes that the model
// writes from a drawing of its own. Returns whether undo takes it back.
bool editingAction(Random &random, GlyphEditor &editor, Model &model, std::vector<Model> &undone,
                   std::vector<Model> &redone, QString *action)
{
    const int kind = random.below(100);
    if (kind < 30) {
        std::vector<std::pair<int, int>> path{{random.below(model.rows), random.below(model.cols)}};
        for (int n = random.below(12); n > 0; --n) {
            auto [r, c] = path.back();
            if (random.chance(20)) {
                r = random.below(model.rows);
                c = random.below(model.cols);
            } else {
                r = std::clamp(r + random.below(3) - 1, 0, model.rows - 1);
                c = std::clamp(c + random.below(3) - 1, 0, model.cols - 1);
            }
            path.emplace_back(r, c);
        }
        *action = QStringLiteral("stroke of %1 from (%2, %3)").arg(path.size()).arg(path[0].first).arg(path[0].second);
        editor.Grid1_MouseDown(path[0].first, path[0].second);
        for (size_t i = 1; i < path.size(); ++i)
            editor.Grid1_MouseMove(path[i].first, path[i].second);
        editor.Grid1_MouseMove(-1, model.cols); // outside the grid: nothing
        editor.Grid1_MouseUp();
        model.stroke(path);
        return true;
    }
    if (kind < 55 || kind < 65) {
        const bool isUndo = kind < 55;
        *action = QLatin1String(isUndo ? "undo" : "redo");
        std::vector<Model> &from = isUndo ? undone : redone;
        std::vector<Model> &to = isUndo ? redone : undone;
        isUndo ? editor.undo() : editor.redo();
        if (!from.empty()) {
            to.push_back(model);
            model = from.back();
            from.pop_back();
        }
        return false;
    }
    if (kind < 85) {
        const char kinds[] = "<>^vHV][";
        const char transform = kinds[random.below(8)];
        *action = QStringLiteral("transform %1").arg(QLatin1Char(transform));
        switch (transform) {
        case '<': editor.shiftDrawing(0, -1); break;
        case '>': editor.shiftDrawing(0, 1); break;
        case '^': editor.shiftDrawing(-1, 0); break;
        case 'v': editor.shiftDrawing(1, 0); break;
        case 'H': editor.mirrorLeftRight(); break;
        case 'V': editor.mirrorTopBottom(); break;
        case ']': editor.rotateClockwise(); break;
        case '[': editor.rotateCounterClockwise(); break;
        }
        model.transform(transform);
        return true;
    }

    // Bytes of a drawing of the model's, written as a user would find them:
    // one byte a value where values and their count fit a byte, else two
    // bytes a value, high byte first; or one value too many.
    using ReadoutReference::Order;
    const int values = model.vertical ? model.cols : model.rows;
    const int bits = model.vertical ? model.rows : model.cols;
    const bool bytes = values <= 8 && bits <= 8;
    const bool tooMany = random.chance(15);
    const int given = bytes && !tooMany ? 1 + random.below(values) : values;
    std::vector<std::vector<bool>> cells(size_t(model.rows), std::vector<bool>(size_t(model.cols)));
    const int density = random.below(100);
    for (int r = 0; r < model.rows; ++r) {
        for (int c = 0; c < model.cols; ++c)
            cells[size_t(r)][size_t(c)] = (model.vertical ? c : r) < given && random.below(100) < density;
    }
    const Order order = model.vertical ? Order::Vertical
            : model.leftToRight        ? Order::HorizontalLeftToRight
                                       : Order::Horizontal;
    const auto isSet = [&cells](int r, int c) { return bool(cells[size_t(r)][size_t(c)]); };
    QString text = QStringLiteral("const uint8_t glyph[] = {");
    for (int i = 0; i < given + (tooMany ? 1 : 0); ++i) {
        const unsigned value = i < given ? ReadoutReference::lineValue(isSet, model.rows, model.cols, order, i) : 1;
        text += bytes ? QString::asprintf(" 0x%02X,", value) : QString::asprintf(" $%02X,$%02X,", value >> 8, value & 0xFF);
    }
    text += QStringLiteral(" };");
    *action = QStringLiteral("draw from \"%1\"").arg(text);
    QString error;
    if (editor.drawFromText(text, &error) == tooMany)
        *action += QStringLiteral(" answered \"%1\"").arg(error);
    if (!tooMany)
        model.redraw(cells, false);
    return true;
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
        OutputModel outputModel;
        std::vector<Model> undone; // the model's own history: before each step
        std::vector<Model> redone;

        for (int step = 0; step < kActionsPerSession; ++step) {
            QString action;
            const Model before = model;
            bool isStep = true; // an action undo can take back
            if (random.chance(25)) {
                isStep = editingAction(random, editor, model, undone, redone, &action);
            } else if (const int roll = random.below(100); roll < 40) {
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
                isStep = false;
            } else if (roll < 74) {
                outputModel.prefix = random.text(4, 60);
                action = QStringLiteral("prefix \"%1\"").arg(qs(outputModel.prefix));
                output.txtfmt_Change(qs(outputModel.prefix));
                isStep = false;
            } else if (roll < 77) {
                outputModel.delimiter = random.text(4, 60);
                action = QStringLiteral("delimiter \"%1\"").arg(qs(outputModel.delimiter));
                output.txtdelim_Change(qs(outputModel.delimiter));
                isStep = false;
            } else if (roll < 96) {
                action = QStringLiteral("Copy to Text");
                QVERIFY(output.Command1_Click(editor.Text2()));
                outputModel.copyToText(model.text2);
                isStep = false;
            } else {
                action = QStringLiteral("Clear output");
                output.Command9_Click();
                outputModel.text1.clear();
                isStep = false;
            }
            if (isStep && !model.sameDrawingState(before)) {
                undone.push_back(before);
                redone.clear();
            }

            QString diff = difference(model, outputModel, editor, Text1);
            if (diff.isEmpty() && (editor.canUndo() != !undone.empty() || editor.canRedo() != !redone.empty()))
                diff = QStringLiteral("can undo %1, redo %2; the model %3 and %4 steps")
                               .arg(editor.canUndo()).arg(editor.canRedo()).arg(undone.size()).arg(redone.size());
            if (!diff.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seed %1, session %2, action %3 (%4): %5")
                                         .arg(seed).arg(session).arg(step).arg(action, diff)));
            }
        }
    }
}

QTEST_APPLESS_MAIN(tst_Soak)
#include "tst_soak.moc"
