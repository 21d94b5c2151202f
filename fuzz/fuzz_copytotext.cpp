#include "copytotext.h"
#include "outputtext.h"
#include "stringtextbox.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Copy to Text against a line built here from the rule itself: trim spaces
// (U+0020 only) at both ends, cut into pieces of two characters where a
// surrogate pair is one character and everything else, CR and LF included, is
// one each, write prefix + piece + delimiter for every piece, end with CR LF.
//
// The input is read as UTF-16 code units, two bytes each, little-endian:
//   unit 0  prefix length (mod 64)        unit 2  length of the text Text1 holds (mod 64)
//   unit 1  delimiter length (mod 64)     unit 3  how often the hex string repeats
// then the prefix, the delimiter, the Text1 text and the hex string, each cut
// short where the input ends. Unit 3 repeats the hex string: up to 3 more
// times, or, for one value in 61 (a remainder the fuzzer cannot aim at, so
// few runs pay for it), up to 1074 more times, to at most kMaxHexLength code
// units. So a small input still reaches hex strings tens of thousands long.
namespace {

constexpr std::size_t kMaxHexLength = 40000;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_copytotext: %s\n", what);
    std::abort();
}

void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

bool isHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::u16string expectedLine(const std::u16string &hex, const std::u16string &prefix,
                            const std::u16string &delimiter)
{
    std::size_t begin = 0;
    std::size_t end = hex.size();
    while (begin < end && hex[begin] == u' ')
        ++begin;
    while (end > begin && hex[end - 1] == u' ')
        --end;

    std::u16string line;
    int charactersInPiece = 0;
    for (std::size_t i = begin; i < end;) {
        const std::size_t units = i + 1 < end && isHigh(hex[i]) && isLow(hex[i + 1]) ? 2 : 1;
        if (charactersInPiece == 0)
            line += prefix;
        line.append(hex, i, units);
        i += units;
        if (++charactersInPiece == 2) {
            line += delimiter;
            charactersInPiece = 0;
        }
    }
    if (charactersInPiece == 1)
        line += delimiter;
    line += u"\r\n";
    return line;
}

QString toQString(const std::u16string &text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}

bool same(const QString &actual, const std::u16string &expected)
{
    return QStringView(actual) == QStringView(expected.data(), qsizetype(expected.size()));
}

class Reader
{
public:
    Reader(const std::uint8_t *data, std::size_t size) : m_data(data), m_units(size / 2) {}

    char16_t next()
    {
        if (m_pos >= m_units)
            return 0;
        const char16_t unit = char16_t(m_data[2 * m_pos] | (m_data[2 * m_pos + 1] << 8));
        ++m_pos;
        return unit;
    }
    std::u16string take(std::size_t count)
    {
        std::u16string text;
        while (count-- > 0 && m_pos < m_units)
            text += next();
        return text;
    }
    std::u16string rest() { return take(m_units - m_pos); }

private:
    const std::uint8_t *m_data;
    std::size_t m_units;
    std::size_t m_pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Reader input(data, size);
    const std::size_t prefixLength = input.next() % 64;
    const std::size_t delimiterLength = input.next() % 64;
    const std::size_t text1Length = input.next() % 64;
    const char16_t repeatUnit = input.next();
    const std::size_t repeat = repeatUnit % 61 == 60 ? repeatUnit / 61 : repeatUnit & 0x3;
    const std::u16string prefix = input.take(prefixLength);
    const std::u16string delimiter = input.take(delimiterLength);
    const std::u16string text1 = input.take(text1Length);
    const std::u16string body = input.rest();

    std::u16string hex = body;
    for (std::size_t i = 0; i < repeat && !body.empty() && hex.size() + body.size() <= kMaxHexLength; ++i)
        hex += body;

    const std::u16string expected = expectedLine(hex, prefix, delimiter);
    const QString qHex = toQString(hex);
    const QString qPrefix = toQString(prefix);
    const QString qDelimiter = toQString(delimiter);

    check(same(CopyToText::line(qHex, qPrefix, qDelimiter), expected), "line() breaks the pieces rule");
    check(CopyToText::lineLength(qHex, qPrefix, qDelimiter) == qint64(expected.size()),
          "lineLength() disagrees with the line");

    StringTextBox Text1;
    OutputText output(Text1);
    Text1.setText(toQString(text1));
    output.txtfmt_Change(qPrefix);
    output.txtdelim_Change(qDelimiter);
    check(output.Command1_Click(qHex), "Copy to Text refused a short line");
    check(same(Text1.text(), text1 + expected), "Text1 is not its old text followed by the line");
    return 0;
}
