#include "csource.h"

#include "codepoints.h"
#include "csourcereader.h"
#include "glyphexport.h"
#include "glyphset.h"
#include "hexdigits.h"

#include <QChar>

#include <algorithm>
#include <iterator>

namespace CSource {

namespace {
// The keywords of C99 and C17, and of C++ up to C++20: a name that is one of
// them compiles in neither.
const char *const kKeywords[] = {
    "_Alignas", "_Alignof", "_Atomic", "_Bool", "_Complex", "_Generic", "_Imaginary", "_Noreturn",
    "_Static_assert", "_Thread_local", "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand",
    "bitor", "bool", "break", "case", "catch", "char", "char16_t", "char32_t", "char8_t", "class", "co_await",
    "co_return", "co_yield", "compl", "concept", "const", "const_cast", "consteval", "constexpr", "constinit",
    "continue", "decltype", "default", "delete", "do", "double", "dynamic_cast", "else", "enum", "explicit",
    "export", "extern", "false", "float", "for", "friend", "goto", "if", "inline", "int", "long", "mutable",
    "namespace", "new", "noexcept", "not", "not_eq", "nullptr", "operator", "or", "or_eq", "private",
    "protected", "public", "register", "reinterpret_cast", "requires", "restrict", "return", "short",
    "signed", "sizeof", "static", "static_assert", "static_cast", "struct", "switch", "template", "this",
    "thread_local", "throw", "true", "try", "typedef", "typeid", "typename", "union", "unsigned", "using",
    "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq",
};

bool isKeyword(QStringView name)
{
    return std::any_of(std::begin(kKeywords), std::end(kKeywords),
                       [name](const char *keyword) { return name == QLatin1String(keyword); });
}

bool isIdentifierCharacter(QChar c, bool first)
{
    const char16_t u = c.unicode();
    const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_';
    return letter || (!first && u >= u'0' && u <= u'9');
}

// C reserves every name that starts with "_" at file scope, where a font's
// arrays stand.
bool isReserved(QStringView name)
{
    return !name.isEmpty() && name[0] == u'_';
}

// <stdint.h> declares its types as int..._t and uint..._t and its limits as
// macros such as INT8_MAX, UINT16_C or SIZE_WIDTH, and reserves every other
// name of those shapes for itself.
bool isStdintName(QStringView name)
{
    if ((name.startsWith(u"int") || name.startsWith(u"uint")) && name.endsWith(u"_t"))
        return true;
    static const char16_t *const macroStarts[] = {u"INT", u"UINT", u"PTRDIFF_", u"SIG_ATOMIC_", u"SIZE_", u"WCHAR_", u"WINT_"};
    static const char16_t *const macroEnds[] = {u"_MAX", u"_MIN", u"_WIDTH", u"_C"};
    return std::any_of(std::begin(macroStarts), std::end(macroStarts),
                       [name](const char16_t *start) { return name.startsWith(QStringView(start)); })
            && std::any_of(std::begin(macroEnds), std::end(macroEnds),
                           [name](const char16_t *end) { return name.endsWith(QStringView(end)); });
}

} // namespace

bool isIdentifier(QStringView name, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (name.isEmpty())
        return refuse(QStringLiteral("a name cannot be empty"));
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isIdentifierCharacter(name[i], i == 0)) {
            return refuse(i == 0 && name[i].isDigit()
                                  ? QStringLiteral("'%1' starts with a digit").arg(name)
                                  : QStringLiteral("'%1' holds '%2', which cannot stand in a C name")
                                            .arg(name, name.mid(i, 1)));
        }
    }
    if (isKeyword(name))
        return refuse(QStringLiteral("'%1' is a keyword of C or C++").arg(name));
    if (isReserved(name))
        return refuse(QStringLiteral("'%1' starts with \"_\", which C reserves for itself").arg(name));
    if (isStdintName(name))
        return refuse(QStringLiteral("'%1' is a name that <stdint.h> declares or reserves").arg(name));
    return true;
}

QString identifier(QStringView text)
{
    QString name;
    name.reserve(text.size() + 1);
    for (const QChar c : text)
        name += isIdentifierCharacter(c, false) ? c : QLatin1Char('_');
    while (isReserved(name))
        name.remove(0, 1);
    if (name.isEmpty())
        return QStringLiteral("font");
    if (name[0].isDigit())
        name.prepend(QLatin1String("font_"));
    if (isKeyword(name) || isStdintName(name))
        name += QLatin1Char('_');
    return name;
}

QString byteLines(const QByteArray &bytes, int perLine, QStringView indent)
{
    // Whole fonts go through here: the text is laid out in place.
    perLine = std::max(perLine, 1);
    const qsizetype lines = (bytes.size() + perLine - 1) / perLine;
    QString out(bytes.size() * 6 + lines * indent.size(), Qt::Uninitialized);
    QChar *to = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i % perLine == 0) {
            std::copy(indent.begin(), indent.end(), to);
            to += indent.size();
        }
        const uchar byte = uchar(bytes[i]);
        *to++ = u'0';
        *to++ = u'x';
        *to++ = QLatin1Char(kHexDigits[byte >> 4]);
        *to++ = QLatin1Char(kHexDigits[byte & 0xF]);
        *to++ = u',';
        *to++ = i % perLine == perLine - 1 || i == bytes.size() - 1 ? u'\n' : u' ';
    }
    Q_ASSERT(to == out.data() + out.size());
    return out;
}

void appendHex(QString &out, quint32 value, int digits)
{
    int needed = 1;
    while (needed < 8 && value >> (4 * needed))
        ++needed;
    out += QLatin1String("0x");
    for (int i = needed; i < digits; ++i)
        out += u'0';
    for (int i = needed - 1; i >= 0; --i)
        out += QLatin1Char(kHexDigits[value >> (4 * i) & 0xF]);
}

QString hex(quint32 value, int digits)
{
    QString out;
    out.reserve(2 + std::max(digits, 8));
    appendHex(out, value, digits);
    return out;
}

QString hexList(const std::vector<quint32> &values, int digits)
{
    QString out;
    out.reserve(qsizetype(values.size()) * (digits + 4));
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        appendHex(out, values[i], digits);
    }
    return out;
}

QString hexList(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 6);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        appendHex(out, quint8(bytes[i]), 2);
    }
    return out;
}

QString enumBlock(const std::vector<Constant> &constants)
{
    qsizetype width = 0;
    for (const Constant &constant : constants)
        width = std::max(width, constant.name.size() + constant.value.size());
    QString out = QStringLiteral("enum {\n");
    for (const Constant &constant : constants) {
        const QString definition = constant.name + QLatin1String(" = ") + constant.value + QLatin1Char(',');
        out += QLatin1String("    ") + definition;
        if (!constant.comment.isEmpty()) {
            out += QString(width + 5 - definition.size(), QLatin1Char(' ')) + QLatin1String("// ")
                    + commentText(constant.comment);
        }
        out += QLatin1Char('\n');
    }
    return out + QLatin1String("};\n");
}

QString commentText(QStringView text)
{
    QString safe = text.toString();
    for (QChar &c : safe) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    while (safe.endsWith(QLatin1Char('\\')) || safe.endsWith(QLatin1String("?\?/")))
        safe[safe.size() - 1] = QLatin1Char('_');
    return safe;
}

QString glyphCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 glyph") : QStringLiteral("%1 glyphs").arg(count);
}

QString comment(QStringView text, QStringView indent)
{
    return indent.toString() + QLatin1String("// ") + commentText(text) + QLatin1Char('\n');
}

QString fontNameLine(const GlyphSet &set)
{
    if (set.fontName.isEmpty())
        return {};
    return QLatin1String("// ") + commentText(QString::fromUtf8(set.fontName)) + QLatin1Char('\n');
}

QString guardStart(QStringView id)
{
    return QStringLiteral("#ifndef %1_H\n#define %1_H\n\n#include <stdint.h>\n\n").arg(id);
}

QLatin1String guardEnd()
{
    return QLatin1String("\n#endif\n");
}

QString libraryInclude(QStringView library)
{
    return QStringLiteral("#ifdef ARDUINO\n#include <clib/%1.h>\n#else\n#include \"%1.h\"\n#endif\n\n").arg(library);
}

QString codeComment(const GlyphSet &set, int code, QStringView missing, const std::vector<int> &sources,
                    const LeftOut *leftOut)
{
    const qsizetype index = set.indexOf(code);
    if (index >= 0)
        return GlyphExport::label(set.at(index), GlyphExport::sourceOf(sources, index));
    if (!leftOut)
        return CodePoints::name(code) + missing.toString();
    for (const StoredGlyph &stored : leftOut->glyphs) {
        if (stored.codePoint != code)
            continue;
        Glyph glyph;
        glyph.codePoint = code;
        glyph.name = stored.name;
        return GlyphExport::label(glyph, Glyph::kNoCodePoint);
    }
    return CodePoints::name(code) + missing.toString();
}

QByteArray fontNameAbove(const CSourceReader::Source &source, QStringView summary)
{
    const std::optional<QByteArray> name = commentOn(source, 1);
    const std::optional<QByteArray> next = commentOn(source, 2);
    if (!name || !next || QString::fromUtf8(*next) != commentText(summary).trimmed())
        return {};
    // As fontNameLine() would write it, so that it is written back the same.
    return commentText(QString::fromUtf8(*name)).trimmed().toUtf8();
}

std::optional<QByteArray> commentOn(const CSourceReader::Source &source, int line)
{
    const auto &comments = source.comments;
    const auto after = std::upper_bound(comments.begin(), comments.end(), line,
                                        [](int wanted, const CSourceReader::Comment &comment) {
                                            return wanted < comment.line;
                                        });
    if (after == comments.begin() || std::prev(after)->line != line)
        return std::nullopt;
    return std::prev(after)->text;
}

namespace {
// The name label() writes after `glyph`'s code point in `comment`, where it
// writes the whole comment again from it; none otherwise.
std::optional<QByteArray> nameIn(QByteArrayView comment, Glyph glyph, int source)
{
    const QByteArray bare = GlyphExport::label(glyph, source).toUtf8();
    if (comment == bare)
        return QByteArray();
    if (!comment.startsWith(bare + ' '))
        return std::nullopt;
    glyph.name = comment.sliced(bare.size() + 1).toByteArray();
    if (GlyphExport::label(glyph, source).toUtf8() != comment)
        return std::nullopt;
    return glyph.name;
}
} // namespace

std::optional<Labelled> glyphIn(QByteArrayView comment, int code)
{
    Glyph glyph;
    glyph.codePoint = code;
    if (const std::optional<QByteArray> name = nameIn(comment, glyph, Glyph::kNoCodePoint))
        return Labelled{code, *name};
    // "U+00C0 from U+0410 'А'": the glyph of U+0410 placed at U+00C0.
    const QByteArray placed = (CodePoints::name(code) + QLatin1String(" from ")).toUtf8();
    if (!comment.startsWith(placed))
        return std::nullopt;
    const QByteArray rest = comment.sliced(placed.size()).toByteArray();
    int source = 0;
    if (!CodePoints::parse(QString::fromUtf8(rest.left(rest.indexOf(' '))), &source) || source == code)
        return std::nullopt;
    const std::optional<QByteArray> name = nameIn(comment, glyph, source);
    if (!name)
        return std::nullopt;
    return Labelled{source, *name};
}

QString remapsText(const std::vector<std::pair<int, int>> &placed)
{
    QStringList remaps;
    for (size_t i = 0; i < placed.size();) {
        const auto [code, source] = placed[i];
        size_t end = i + 1;
        while (end < placed.size() && placed[end].first == code + int(end - i)
               && placed[end].second == source + int(end - i))
            ++end;
        if (source != code) {
            remaps.append(CodePoints::name(source) + QLatin1Char('-') + CodePoints::name(source + int(end - i) - 1)
                          + QLatin1Char(':') + CodePoints::name(code));
        }
        i = end;
    }
    return remaps.join(QLatin1String(", "));
}

Rows rowsOf(const CSourceReader::Declaration &array, qint64 count, int width, quint32 highest)
{
    using Kind = CSourceReader::Value::Kind;
    Rows result;
    const auto fail = [&result](int line, const QString &error) {
        result.rows.clear();
        result.error = error;
        result.line = line;
        return result;
    };
    const CSourceReader::Value &value = array.value;
    if (value.kind != Kind::List || qint64(value.items.size()) != count) {
        return fail(array.line, QStringLiteral("%1 holds %2 rows where its count says %3")
                                        .arg(QString::fromUtf8(array.name))
                                        .arg(value.kind == Kind::List ? value.items.size() : 0)
                                        .arg(count));
    }
    result.rows.reserve(value.items.size());
    for (const CSourceReader::Value &row : value.items) {
        const qsizetype index = qsizetype(result.rows.size());
        if (row.kind != Kind::List || row.items.size() > size_t(width)) {
            return fail(row.line, QStringLiteral("row %1 is not a list of at most %2 numbers").arg(index).arg(width));
        }
        std::vector<quint32> numbers(size_t(width), 0);
        for (size_t i = 0; i < row.items.size(); ++i) {
            const CSourceReader::Value &item = row.items[i];
            if (item.kind != Kind::Number || item.number < 0 || item.number > qint64(highest)) {
                return fail(item.line, QStringLiteral("row %1 holds %2 where a number from 0 to %3 belongs")
                                               .arg(index)
                                               .arg(item.kind == Kind::Number ? QString::number(item.number)
                                                    : item.kind == Kind::Name ? QString::fromUtf8(item.text)
                                                                              : QStringLiteral("a list or a string"))
                                               .arg(highest));
            }
            numbers[i] = quint32(item.number);
        }
        result.rows.push_back(std::move(numbers));
    }
    return result;
}

} // namespace CSource
