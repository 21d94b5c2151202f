#include "glypheditor.h"
#include "readoutreference.h"
#include "stringtextbox.h"

#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary sequences of user actions on the glyph editor, with its invariants
// checked after every action. Each action is one byte, some followed by one
// argument byte:
//   click (cell), Invert, Clear, width or height from the list (item),
//   width or height from a text that is not a list item, Vert, Horiz,
//   check or uncheck "Lt to Rt", an edit of Text2 (length, then that many
//   UTF-16 code units of two bytes each), a stroke (length, then that many
//   cells), a transform (which), a drawing from a text (as for Text2), undo
//   and redo.
namespace {
// Whether no cell of the drawing is set.
bool isBlank(const Drawing &drawing)
{
    return drawing == Drawing(drawing.rows(), drawing.cols());
}


enum Action {
    Click,
    Invert,
    Clear,
    Width,
    Height,
    WidthText,
    HeightText,
    Vert,
    Horiz,
    Check,
    Uncheck,
    EditText2,
    Stroke,
    Transform,
    DrawText,
    Undo,
    Redo,
    ActionCount
};

// Texts no list item has: each must leave the matrix size alone.
QStringList notSizes()
{
    const QChar nul(0);
    return {QString(), QStringLiteral("2"), QStringLiteral("17"), QStringLiteral("0"),
            QStringLiteral("-3"), QStringLiteral("Width"), QStringLiteral("Height"),
            QStringLiteral("1 6"), QStringLiteral("0x10"), QStringLiteral("3.5"),
            QStringLiteral("\uFF11\uFF16"), QStringLiteral("\u0663"), QStringLiteral("99999999999"),
            QStringLiteral("-2147483648"), QStringLiteral("4294967299"), QStringLiteral("1e1"),
            nul + QStringLiteral("3"), QStringLiteral("16") + nul};
}

[[noreturn]] void fail(const char *what, int step)
{
    std::fprintf(stderr, "fuzz_editor: %s (after action %d)\n", what, step);
    std::abort();
}

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

bool isSet(const GlyphEditor &editor, int row, int col)
{
    return editor.Grid1().cellBackColorAt(row, col) == GlyphEditor::kSetColour;
}

// The value of one column (vertical) or row (horizontal), from the pixels.
uint lineValue(const GlyphEditor &editor, int index)
{
    using ReadoutReference::Order;
    const Order order = editor.optvertValue() ? Order::Vertical
            : editor.chkdirValue() == 1       ? Order::HorizontalLeftToRight
                                              : Order::Horizontal;
    return ReadoutReference::lineValue([&editor](int r, int c) { return isSet(editor, r, c); },
                                       editor.Grid1().rows(), editor.Grid1().cols(), order, index);
}

bool isReadoutText(const QString &text)
{
    if (text.size() != 2 && text.size() != 4)
        return false;
    for (QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

QString utf16Text(Input &input)
{
    QString text;
    for (int n = input.next() % 64; n > 0 && !input.atEnd(); --n) {
        const char16_t low = input.next();
        text += QChar(char16_t(low | (input.next() << 8)));
    }
    return text;
}

QStringList cellTexts(const Grid &grid)
{
    QStringList texts;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c)
            texts << grid.textAt(r, c);
    }
    return texts;
}

struct Checker
{
    const GlyphEditor &editor;
    int step = 0;

    void require(bool ok, const char *what) const
    {
        if (!ok)
            fail(what, step);
    }

    void always(bool clickedSinceClear) const
    {
        const Grid &g1 = editor.Grid1();
        const Grid &g2 = editor.Grid2();
        require(g1.cols() == g2.cols() && g1.cols() == editor.colGrid().cols(),
                "Grid1, Grid2 and colGrid differ in columns");
        require(g1.rows() == g2.rows() && g1.rows() == editor.rowGrid().rows(),
                "Grid1, Grid2 and rowGrid differ in rows");
        require(editor.colGrid().rows() == 1, "colGrid is not one row");
        require(editor.rowGrid().cols() == 1, "rowGrid is not one column");
        require(g1.cols() >= GlyphEditor::kMatrixMin && g1.cols() <= GlyphEditor::kMatrixMax
                        && g1.rows() >= GlyphEditor::kMatrixMin && g1.rows() <= GlyphEditor::kMatrixMax,
                "matrix size outside 3 to 16");
        for (int r = 0; r < g1.rows(); ++r) {
            for (int c = 0; c < g1.cols(); ++c) {
                require(isSet(editor, r, c) == (g2.cellBackColorAt(r, c) == GlyphEditor::kMirrorColour),
                        "Grid2 does not mirror Grid1");
            }
        }
        require(editor.frmmatrixEnabled() == !clickedSinceClear,
                "frmmatrix is not disabled exactly while a click stands since Clear");
        if (editor.optvertValue())
            require(!editor.chkdirEnabled() && editor.chkdirValue() == 0,
                    "chkdir enabled or checked in vertical orientation");
        else
            require(editor.chkdirEnabled(), "chkdir disabled in horizontal orientation");
        require(editor.colGrid().isVisible() == editor.optvertValue()
                        && editor.rowGrid().isVisible() == !editor.optvertValue(),
                "the visible readout is not the one in use");
    }

    void afterClick(int index) const
    {
        const QStringList texts = cellTexts(editor.optvertValue() ? editor.colGrid() : editor.rowGrid());
        QString joined;
        for (const QString &text : texts) {
            require(isReadoutText(text), "a readout cell is not 2 or 4 upper-case hex digits");
            joined += text;
        }
        require(editor.Text2() == joined, "Text2 is not the readouts run together");
        bool ok = false;
        require(texts.at(index).toUInt(&ok, 16) == lineValue(editor, index) && ok,
                "the clicked line's readout is not its value");
    }

    // After a drawing is made anew, every line was clicked or is empty, so
    // every readout is up to date; a cleared drawing leaves all empty.
    void afterRedraw() const
    {
        if (isBlank(editor.drawing())) {
            afterClear();
            return;
        }
        const Grid &readout = editor.optvertValue() ? editor.colGrid() : editor.rowGrid();
        const int count = editor.optvertValue() ? readout.cols() : readout.rows();
        for (int i = 0; i < count; ++i)
            afterClick(i);
        require(!editor.frmmatrixEnabled(), "a drawing made anew left the orientation unlocked");
    }

    void afterClear() const
    {
        require(editor.Text2().isEmpty(), "Clear left Text2");
        for (const QString &text : cellTexts(editor.colGrid()) + cellTexts(editor.rowGrid()))
            require(text.isEmpty(), "Clear left a readout");
        for (int r = 0; r < editor.Grid1().rows(); ++r) {
            for (int c = 0; c < editor.Grid1().cols(); ++c)
                require(editor.Grid1().cellBackColorAt(r, c) == Colours::kNone, "Clear left a colour");
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    editor.opthoriz_Click();
    editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);

    Input input(data, size);
    Checker checker{editor};
    bool clickedSinceClear = false;
    checker.always(clickedSinceClear);

    while (!input.atEnd()) {
        ++checker.step;
        const bool wasVertical = editor.optvertValue();
        const int chkdirBefore = editor.chkdirValue();
        const QString text2Before = editor.Text2();
        const int colsBefore = editor.Grid1().cols();
        const int rowsBefore = editor.Grid1().rows();
        const auto action = Action(input.next() % ActionCount);
        switch (action) {
        case Click: {
            const std::uint8_t cell = input.next();
            const int row = (cell >> 4) % rowsBefore;
            const int col = (cell & 0x0F) % colsBefore;
            editor.Grid1_Click(row, col);
            clickedSinceClear = true;
            checker.afterClick(wasVertical ? col : row);
            break;
        }
        case Invert:
            editor.cmdInverse_Click();
            break;
        case Clear:
            editor.Command6_Click();
            clickedSinceClear = false;
            checker.afterClear();
            break;
        case Width:
        case Height: {
            const int n = GlyphEditor::kMatrixMin + input.next() % 14;
            if (action == Width)
                editor.lstCol_Click(QString::number(n));
            else
                editor.lstRow_Click(QString::number(n));
            checker.require((action == Width ? editor.Grid1().cols() : editor.Grid1().rows()) == n,
                            "a size from the list was not taken");
            break;
        }
        case WidthText:
        case HeightText: {
            static const QStringList texts = notSizes();
            const QString &text = texts.at(input.next() % texts.size());
            if (action == WidthText)
                editor.lstCol_Click(text);
            else
                editor.lstRow_Click(text);
            checker.require(editor.Grid1().cols() == colsBefore && editor.Grid1().rows() == rowsBefore,
                            "a text that is no size changed the matrix");
            break;
        }
        case Vert:
            editor.optvert_Click();
            break;
        case Horiz:
            editor.opthoriz_Click();
            break;
        case Check:
        case Uncheck:
            editor.setChkdirValue(action == Check ? 1 : 0);
            break;
        case EditText2: {
            const QString text = utf16Text(input);
            Text2.setText(text);
            checker.require(editor.Text2() == text, "Text2 does not hold what was typed");
            break;
        }
        case Stroke: {
            // Cells may lie outside the grid: the stroke passes them over.
            const Drawing before = editor.drawing();
            std::vector<std::pair<int, int>> path;
            for (int n = 1 + input.next() % 24; n > 0 && !input.atEnd(); --n) {
                const std::uint8_t cell = input.next();
                path.emplace_back((cell >> 4) - 1, (cell & 0x0F) - 1);
            }
            if (path.empty() || path[0].first < 0 || path[0].second < 0 || path[0].first >= rowsBefore
                || path[0].second >= colsBefore)
                break;
            editor.Grid1_MouseDown(path[0].first, path[0].second);
            for (const auto &[r, c] : path)
                editor.Grid1_MouseMove(r, c);
            editor.Grid1_MouseUp();
            clickedSinceClear = true;
            const bool sets = isSet(editor, path[0].first, path[0].second);
            for (int r = 0; r < rowsBefore; ++r) {
                for (int c = 0; c < colsBefore; ++c) {
                    const bool inPath = std::find(path.begin(), path.end(), std::pair(r, c)) != path.end();
                    checker.require(inPath ? isSet(editor, r, c) == sets : isSet(editor, r, c) == before.isSet(r, c),
                                    "a stroke left a cell of its path unlike its first, or touched another");
                }
            }
            break;
        }
        case Transform: {
            const int which = input.next() % 8;
            const Drawing before = editor.drawing();
            const Drawing expected[] = {before.shifted(0, -1), before.shifted(0, 1), before.shifted(-1, 0),
                                        before.shifted(1, 0), before.mirroredLeftRight(), before.mirroredTopBottom(),
                                        before.rotatedClockwise(), before.rotatedCounterClockwise()};
            switch (which) {
            case 0: editor.shiftDrawing(0, -1); break;
            case 1: editor.shiftDrawing(0, 1); break;
            case 2: editor.shiftDrawing(-1, 0); break;
            case 3: editor.shiftDrawing(1, 0); break;
            case 4: editor.mirrorLeftRight(); break;
            case 5: editor.mirrorTopBottom(); break;
            case 6: editor.rotateClockwise(); break;
            default: editor.rotateCounterClockwise(); break;
            }
            checker.require(editor.drawing() == expected[which], "a transform drew something else");
            clickedSinceClear = !isBlank(editor.drawing());
            checker.afterRedraw();
            break;
        }
        case DrawText: {
            const Drawing before = editor.drawing();
            const QStringList readoutsBefore = cellTexts(editor.colGrid()) + cellTexts(editor.rowGrid());
            QString error;
            if (editor.drawFromText(utf16Text(input), &error)) {
                clickedSinceClear = !isBlank(editor.drawing());
                checker.afterRedraw();
            } else {
                checker.require(!error.isEmpty() && error.endsWith(u'.'), "a refusal without a sentence");
                checker.require(editor.drawing() == before && editor.Text2() == text2Before
                                        && cellTexts(editor.colGrid()) + cellTexts(editor.rowGrid()) == readoutsBefore,
                                "a refused drawing changed something");
            }
            break;
        }
        case Undo:
        case Redo:
            action == Undo ? editor.undo() : editor.redo();
            clickedSinceClear = !editor.frmmatrixEnabled();
            break;
        case ActionCount:
            break;
        }

        const bool orientationAction = action == Vert || action == Horiz || action == Check || action == Uncheck
                || action == Undo || action == Redo;
        if (!orientationAction || !editor.frmmatrixEnabled()) {
            checker.require(editor.optvertValue() == wasVertical && editor.chkdirValue() == chkdirBefore,
                            "orientation or bit order changed while locked or by another action");
        }
        const bool redraws = action == Stroke || action == Transform || action == DrawText || action == Undo
                || action == Redo;
        if (action != Click && action != Clear && action != EditText2 && !redraws)
            checker.require(editor.Text2() == text2Before, "Text2 changed without a click, Clear or edit");
        checker.always(clickedSinceClear);
    }
    return 0;
}
