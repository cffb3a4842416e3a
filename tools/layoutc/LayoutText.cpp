#include "LayoutText.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "Streams.h"

namespace fw::layout {

ELayoutError::ELayoutError(const std::string& file, int line, int column, const std::string& message)
    : EFrameworkError(file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message),
      m_line(line),
      m_column(column),
      m_message(message)
{}

namespace {

constexpr int kMaxNesting = 64;

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// ---------------------------------------------------------------------------
// Text -> binary

class TCompiler {
public:
    TCompiler(std::string_view src, std::string file) : m_src(src), m_file(std::move(file)) {}

    std::vector<std::uint8_t> Compile()
    {
        m_out.WriteSignature();
        SkipBlanks();
        ParseObject(0);
        SkipBlanks();
        if (!AtEnd())
            Fail("Text after the end of the root object");
        return m_out.Take();
    }

private:
    struct Pos {
        std::size_t Offset;
        int Line;
        int Column;
    };

    [[noreturn]] void Fail(const std::string& message) const { FailAt(Here(), message); }
    [[noreturn]] void FailAt(const Pos& p, const std::string& message) const
    {
        throw ELayoutError(m_file, p.Line, p.Column, message);
    }

    Pos Here() const { return {m_pos, m_line, m_column}; }
    bool AtEnd() const { return m_pos >= m_src.size(); }
    char Peek(std::size_t ahead = 0) const { return m_pos + ahead < m_src.size() ? m_src[m_pos + ahead] : '\0'; }
    void Advance()
    {
        if (AtEnd())
            return;
        const char c = m_src[m_pos++];
        if (c == '\n') {
            ++m_line;
            m_column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++m_column;  // columns count characters, not UTF-8 bytes
        }
    }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Advance();
            } else if (c == '/' && Peek(1) == '/') {
                while (!AtEnd() && Peek() != '\n')
                    Advance();
            } else {
                break;
            }
        }
    }

    // Identifier, with dots when dotted is set (property names, references).
    std::string ReadIdent(bool dotted)
    {
        if (!IsIdentStart(Peek()))
            Fail("Identifier expected");
        std::string s;
        while (true) {
            while (IsIdentChar(Peek())) {
                s.push_back(Peek());
                Advance();
            }
            if (dotted && Peek() == '.' && IsIdentStart(Peek(1))) {
                s.push_back('.');
                Advance();
                continue;
            }
            return s;
        }
    }

    void Expect(char c, const char* what)
    {
        SkipBlanks();
        if (Peek() != c)
            Fail(std::string("'") + c + "' expected " + what);
        Advance();
    }

    bool IsKeyword(std::string_view word) const
    {
        if (m_src.compare(m_pos, word.size(), word) != 0)
            return false;
        return !IsIdentChar(Peek(word.size()));
    }

    void WriteName(const std::string& name, const Pos& at)
    {
        if (name.size() > 255)
            FailAt(at, "Name longer than 255 bytes");
        m_out.WriteShortString(name);
    }

    void ParseObject(int depth)
    {
        if (depth > kMaxNesting)
            Fail("Objects nested too deeply");
        std::uint8_t flags = 0;
        if (IsKeyword("object")) {
        } else if (IsKeyword("inherited")) {
            flags = 0x01;
        } else if (IsKeyword("inline")) {
            flags = 0x04;
        } else {
            Fail("'object' expected");
        }
        ReadIdent(false);
        SkipBlanks();
        const Pos namePos = Here();
        std::string name;
        std::string className;
        // "object Name: TClass" or "object TClass" (unnamed).
        std::string first = ReadIdent(false);
        SkipBlanks();
        if (Peek() == ':') {
            Advance();
            SkipBlanks();
            name = std::move(first);
            className = ReadIdent(false);
        } else {
            className = std::move(first);
        }
        SkipBlanks();
        std::int64_t childPos = 0;
        bool hasChildPos = false;
        if (Peek() == '[') {
            Advance();
            SkipBlanks();
            const Pos p = Here();
            std::string digits;
            if (Peek() == '-') {
                digits.push_back('-');
                Advance();
            }
            while (IsDigit(Peek())) {
                digits.push_back(Peek());
                Advance();
            }
            if (digits.empty() || digits == "-")
                FailAt(p, "Child position expected");
            childPos = ParseInteger(digits, p);
            hasChildPos = true;
            Expect(']', "after the child position");
            flags |= 0x02;
        }
        if (flags != 0) {
            m_out.WriteByte(static_cast<std::uint8_t>(0xF0 | flags));
            if (hasChildPos)
                m_out.WriteInteger(childPos);
        }
        WriteName(className, namePos);
        WriteName(name, namePos);

        // Properties, then child objects, then "end".
        bool inChildren = false;
        while (true) {
            SkipBlanks();
            if (AtEnd())
                Fail("'end' expected for object " + (name.empty() ? className : name));
            if (IsKeyword("end")) {
                ReadIdent(false);
                break;
            }
            if (IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline")) {
                if (!inChildren) {
                    m_out.WriteListEnd();
                    inChildren = true;
                }
                ParseObject(depth + 1);
                continue;
            }
            if (inChildren)
                Fail("Properties must come before child objects");
            ParseProperty(depth);
        }
        if (!inChildren)
            m_out.WriteListEnd();
        m_out.WriteListEnd();
    }

    void ParseProperty(int depth)
    {
        const Pos at = Here();
        const std::string name = ReadIdent(true);
        WriteName(name, at);
        Expect('=', "after the property name");
        SkipBlanks();
        ParseValue(depth);
    }

    std::int64_t ParseInteger(const std::string& text, const Pos& at)
    {
        constexpr std::uint64_t kInt64Max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        bool negative = false;
        std::size_t i = 0;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            negative = text[i] == '-';
            ++i;
        }
        const bool hex = i < text.size() && text[i] == '$';
        if (hex)
            ++i;
        if (i >= text.size())
            FailAt(at, "Number expected");
        const unsigned base = hex ? 16 : 10;
        std::uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const int d = hex ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
            if (d < 0)
                FailAt(at, "Invalid number " + text);
            if (value > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(d)) / base) {
                FailAt(at, "Number out of range: " + text);
            }
            value = value * base + static_cast<unsigned>(d);
        }
        if (hex && !negative) {
            // Hex constants are bit patterns: $80000000..$FFFFFFFF are the
            // signed 32-bit values (system colours), wider ones 64-bit.
            if (value > 0x7FFFFFFFu && value <= 0xFFFFFFFFu) {
                return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
            }
            return static_cast<std::int64_t>(value);
        }
        if (negative) {
            if (value > kInt64Max + 1)
                FailAt(at, "Number out of range: " + text);
            return value == kInt64Max + 1 ? std::numeric_limits<std::int64_t>::min()
                                          : -static_cast<std::int64_t>(value);
        }
        if (value > kInt64Max)
            FailAt(at, "Number out of range: " + text);
        return static_cast<std::int64_t>(value);
    }

    void ParseNumber()
    {
        const Pos at = Here();
        std::string text;
        if (Peek() == '-' || Peek() == '+') {
            text.push_back(Peek());
            Advance();
        }
        if (Peek() == '$') {
            text.push_back('$');
            Advance();
            while (HexValue(Peek()) >= 0) {
                text.push_back(Peek());
                Advance();
            }
            if (IsIdentChar(Peek()))
                Fail("Invalid hexadecimal number");
            m_out.WriteInteger(ParseInteger(text, at));
            return;
        }
        bool isFloat = false;
        while (IsDigit(Peek())) {
            text.push_back(Peek());
            Advance();
        }
        if (Peek() == '.' && IsDigit(Peek(1))) {
            isFloat = true;
            text.push_back('.');
            Advance();
            while (IsDigit(Peek())) {
                text.push_back(Peek());
                Advance();
            }
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '-' || Peek(1) == '+') && IsDigit(Peek(2))))) {
            isFloat = true;
            text.push_back('e');
            Advance();
            if (Peek() == '-' || Peek() == '+') {
                text.push_back(Peek());
                Advance();
            }
            while (IsDigit(Peek())) {
                text.push_back(Peek());
                Advance();
            }
        }
        char suffix = 0;
        if (Peek() == 's' || Peek() == 'r' || Peek() == 'c' || Peek() == 'd') {
            if (!IsIdentChar(Peek(1))) {
                suffix = Peek();
                isFloat = true;
                Advance();
            }
        }
        if (IsIdentChar(Peek()))
            Fail("Invalid number");
        if (text.empty() || text == "-" || text == "+")
            FailAt(at, "Number expected");
        if (!isFloat) {
            m_out.WriteInteger(ParseInteger(text, at));
            return;
        }
        char* end = nullptr;
        const double v = std::strtod(text.c_str(), &end);
        if (end == nullptr || *end != '\0' || !std::isfinite(v))
            FailAt(at, "Invalid number " + text);
        switch (suffix) {
        case 's':
            m_out.WriteSingle(static_cast<float>(v));
            break;
        case 'r':
            m_out.WriteDouble(v);
            break;
        case 'd': {
            m_out.WriteValueType(vaDate);
            TStreamWriter tmp;
            tmp.WriteDouble(v);
            m_out.WriteBytes(std::span<const std::uint8_t>(tmp.Bytes()).subspan(1));
            break;
        }
        case 'c': {
            const double scaled = std::round(v * 10000.0);
            if (!(std::fabs(scaled) < 9.2e18))
                FailAt(at, "Currency out of range");
            m_out.WriteValueType(vaCurrency);
            m_out.WriteUInt64(static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
            break;
        }
        default:
            m_out.WriteExtended(v);
            break;
        }
    }

    // Reads a code point of UTF-8 text at the current position (source is
    // expected to be UTF-8).
    char32_t ReadSourceChar()
    {
        const Pos at = Here();
        const auto b0 = static_cast<unsigned char>(Peek());
        int len = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || m_pos + static_cast<std::size_t>(len) > m_src.size())
            FailAt(at, "Invalid UTF-8 in source");
        const std::u16string w = Utf8ToUtf16(m_src.substr(m_pos, static_cast<std::size_t>(len)));
        if (!IsValidUtf8(m_src.substr(m_pos, static_cast<std::size_t>(len))))
            FailAt(at, "Invalid UTF-8 in source");
        for (int i = 0; i < len; ++i)
            Advance();
        if (w.size() == 2)
            return 0x10000 + ((static_cast<char32_t>(w[0]) - 0xD800) << 10) + (w[1] - 0xDC00);
        return w[0];
    }

    // A string value: quoted parts, #codes and '+' continuations.
    // kind: 0 automatic, 'b' bytes, 'w' WString, 'u' UTF8String.
    void ParseString(char kind)
    {
        const Pos start = Here();
        std::u32string text;  // automatic, w, u
        std::string bytes;    // b
        bool any = false;
        while (true) {
            SkipBlanks();
            if (Peek() == '\'') {
                any = true;
                Advance();
                while (true) {
                    if (AtEnd() || Peek() == '\n')
                        Fail("Unterminated string");
                    if (Peek() == '\'') {
                        if (Peek(1) == '\'') {
                            Advance();
                            Advance();
                            text.push_back('\'');
                            bytes.push_back('\'');
                            continue;
                        }
                        Advance();
                        break;
                    }
                    if (kind == 'b') {
                        bytes.push_back(Peek());
                        Advance();
                    } else {
                        text.push_back(ReadSourceChar());
                    }
                }
            } else if (Peek() == '#') {
                any = true;
                const Pos at = Here();
                Advance();
                std::string digits;
                if (Peek() == '$') {
                    digits.push_back('$');
                    Advance();
                    while (HexValue(Peek()) >= 0) {
                        digits.push_back(Peek());
                        Advance();
                    }
                } else {
                    while (IsDigit(Peek())) {
                        digits.push_back(Peek());
                        Advance();
                    }
                }
                if (digits.empty() || digits == "$")
                    FailAt(at, "Character code expected after '#'");
                const std::int64_t code = ParseInteger(digits, at);
                if (kind == 'b') {
                    if (code < 0 || code > 255)
                        FailAt(at, "Byte code out of range: " + digits);
                    bytes.push_back(static_cast<char>(code));
                } else {
                    if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                        FailAt(at, "Character code out of range: " + digits);
                    }
                    text.push_back(static_cast<char32_t>(code));
                }
            } else {
                break;
            }
            // Parts written side by side join ('a'#13#10'b'); '+' joins
            // across blanks and lines. Otherwise the string ends here (a
            // list holds separate strings: ('a' 'b')).
            if (Peek() == '\'' || Peek() == '#')
                continue;
            const std::size_t save = m_pos;
            const int saveLine = m_line;
            const int saveCol = m_column;
            SkipBlanks();
            if (Peek() == '+') {
                Advance();
                SkipBlanks();
                if (Peek() != '\'' && Peek() != '#')
                    Fail("String expected after '+'");
                continue;
            }
            m_pos = save;
            m_line = saveLine;
            m_column = saveCol;
            break;
        }
        if (!any)
            FailAt(start, "String expected");
        if (kind == 'b') {
            m_out.WriteString(bytes);
            return;
        }
        std::u16string utf16;
        bool ascii = true;
        for (char32_t c : text) {
            if (c >= 0x80)
                ascii = false;
            if (c >= 0x10000) {
                utf16.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                utf16.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            } else {
                utf16.push_back(static_cast<char16_t>(c));
            }
        }
        if (kind == 'w' || (kind == 0 && !ascii)) {
            m_out.WriteWString(std::u16string_view(utf16));
        } else if (kind == 'u') {
            m_out.WriteUtf8String(Utf16ToUtf8(utf16));
        } else {
            m_out.WriteString(Utf16ToUtf8(utf16));
        }
    }

    void ParseValue(int depth)
    {
        if (depth > kMaxNesting)
            Fail("Values nested too deeply");
        const char c = Peek();
        if (c == '\'' || c == '#') {
            ParseString(0);
        } else if ((c == 'b' || c == 'w' || c == 'u') && (Peek(1) == '\'' || Peek(1) == '#')) {
            Advance();
            ParseString(c);
        } else if (IsDigit(c) || c == '-' || c == '+' || c == '$') {
            ParseNumber();
        } else if (IsIdentStart(c)) {
            const Pos at = Here();
            const std::string ident = ReadIdent(true);
            for (const char* keyword : {"end", "object", "inherited", "inline", "item"}) {
                if (ident == keyword)
                    FailAt(at, "Value expected");
            }
            if (SameText(ident, "True")) {
                m_out.WriteBoolean(true);
            } else if (SameText(ident, "False")) {
                m_out.WriteBoolean(false);
            } else if (SameText(ident, "nil")) {
                m_out.WriteNil();
            } else {
                WriteIdentValue(ident, at);
            }
        } else if (c == '[') {
            ParseSet();
        } else if (c == '(') {
            Advance();
            m_out.WriteListBegin();
            while (true) {
                SkipBlanks();
                if (AtEnd())
                    Fail("')' expected");
                if (Peek() == ')') {
                    Advance();
                    break;
                }
                if (Peek() == ',') {
                    Advance();
                    continue;
                }
                ParseValue(depth + 1);
            }
            m_out.WriteListEnd();
        } else if (c == '<') {
            ParseCollection(depth);
        } else if (c == '{') {
            ParseBinary();
        } else if (AtEnd()) {
            Fail("Value expected");
        } else {
            Fail(std::string("Value expected, found '") + c + "'");
        }
    }

    void WriteIdentValue(const std::string& ident, const Pos& at)
    {
        if (ident.size() > 255)
            FailAt(at, "Identifier longer than 255 bytes");
        m_out.WriteIdent(ident);
    }

    void ParseSet()
    {
        Advance();
        m_out.WriteValueType(vaSet);
        bool expectMember = true;
        while (true) {
            SkipBlanks();
            if (Peek() == ']') {
                Advance();
                break;
            }
            if (!expectMember) {
                if (Peek() != ',')
                    Fail("',' or ']' expected in set");
                Advance();
                SkipBlanks();
            }
            const Pos at = Here();
            const std::string member = ReadIdent(false);
            WriteName(member, at);
            expectMember = false;
        }
        m_out.WriteByte(0);
    }

    void ParseCollection(int depth)
    {
        Advance();
        m_out.WriteValueType(vaCollection);
        while (true) {
            SkipBlanks();
            if (Peek() == '>') {
                Advance();
                break;
            }
            if (!IsKeyword("item"))
                Fail("'item' or '>' expected in collection");
            ReadIdent(false);
            SkipBlanks();
            if (Peek() == '[') {
                Advance();
                SkipBlanks();
                const Pos p = Here();
                std::string digits;
                while (IsDigit(Peek()) || Peek() == '-') {
                    digits.push_back(Peek());
                    Advance();
                }
                if (digits.empty())
                    FailAt(p, "Item index expected");
                m_out.WriteInteger(ParseInteger(digits, p));
                Expect(']', "after the item index");
            }
            m_out.WriteListBegin();
            while (true) {
                SkipBlanks();
                if (AtEnd())
                    Fail("'end' expected for collection item");
                if (IsKeyword("end")) {
                    ReadIdent(false);
                    break;
                }
                ParseProperty(depth + 1);
            }
            m_out.WriteListEnd();
        }
        m_out.WriteListEnd();
    }

    void ParseBinary()
    {
        const Pos start = Here();
        Advance();
        std::vector<std::uint8_t> data;
        int high = -1;
        while (true) {
            if (AtEnd())
                FailAt(start, "'}' expected");
            const char c = Peek();
            if (c == '}') {
                Advance();
                break;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Advance();
                continue;
            }
            const int v = HexValue(c);
            if (v < 0)
                Fail(std::string("Hex digit expected in binary data, found '") + c + "'");
            if (high < 0) {
                high = v;
            } else {
                data.push_back(static_cast<std::uint8_t>(high * 16 + v));
                high = -1;
            }
            Advance();
        }
        if (high >= 0)
            FailAt(start, "Odd number of hex digits in binary data");
        m_out.WriteBinary(data);
    }

    std::string_view m_src;
    std::string m_file;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_column = 1;
    TStreamWriter m_out;
};

// ---------------------------------------------------------------------------
// Binary -> text

class TDecompiler {
public:
    explicit TDecompiler(std::span<const std::uint8_t> data) : m_in(data) {}

    std::string Decompile()
    {
        const auto sig = m_in.ReadBytes(4);
        if (!std::equal(sig.begin(), sig.end(), kStreamSignature)) {
            throw EStreamError("Invalid stream format", 0);
        }
        WriteObject(0);
        return std::move(m_text);
    }

private:
    void Indent(int level) { m_text.append(static_cast<std::size_t>(level) * 2, ' '); }

    void WriteObject(int level)
    {
        if (level > kMaxNesting)
            throw EStreamError("Objects nested too deeply", m_in.Position());
        const char* keyword = "object";
        std::string position;
        if ((m_in.PeekByte() & 0xF0) == 0xF0) {
            const std::uint8_t flags = m_in.ReadByte() & 0x0F;
            if (flags & 0x01)
                keyword = "inherited";
            if (flags & 0x04)
                keyword = "inline";
            if (flags & 0x02)
                position = " [" + std::to_string(m_in.ReadIntegerValue(m_in.ReadValueType())) + "]";
        }
        const std::string className = m_in.ReadShortString();
        const std::string name = m_in.ReadShortString();
        Indent(level);
        m_text += keyword;
        m_text += ' ';
        if (!name.empty())
            m_text += name + ": ";
        m_text += className + position + "\n";
        while (!m_in.EndOfList())
            WriteProperty(level + 1);
        m_in.ReadByte();
        while (!m_in.EndOfList())
            WriteObject(level + 1);
        m_in.ReadByte();
        Indent(level);
        m_text += "end\n";
    }

    void WriteProperty(int level)
    {
        Indent(level);
        m_text += m_in.ReadShortString();
        m_text += " = ";
        WriteValue(m_in.ReadValueType(), level, 0);
        m_text += "\n";
    }

    static std::string Quote(std::u16string_view text)
    {
        // Printable text in quotes, control characters as #codes.
        std::string out;
        bool inQuote = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            const bool lone = (c >= 0xD800 && c <= 0xDFFF) &&
                              !(c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
            if (c < 0x20 || c == 0x7F || lone) {
                if (inQuote)
                    out += '\'';
                inQuote = false;
                out += '#' + std::to_string(static_cast<unsigned>(c));
                continue;
            }
            if (!inQuote)
                out += '\'';
            inQuote = true;
            if (c == '\'') {
                out += "''";
            } else if (c >= 0xD800 && c <= 0xDBFF) {
                out += Utf16ToUtf8(text.substr(i, 2));
                ++i;
            } else {
                out += Utf16ToUtf8(text.substr(i, 1));
            }
        }
        if (inQuote)
            out += '\'';
        if (out.empty())
            out = "''";
        return out;
    }

    static std::string QuoteBytes(std::string_view bytes)
    {
        std::string out;
        bool inQuote = false;
        for (char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 || c >= 0x7F) {
                if (inQuote)
                    out += '\'';
                inQuote = false;
                char buf[8];
                std::snprintf(buf, sizeof buf, "#$%02X", c);
                out += buf;
                continue;
            }
            if (!inQuote)
                out += '\'';
            inQuote = true;
            out += c == '\'' ? std::string("''") : std::string(1, static_cast<char>(c));
        }
        if (inQuote)
            out += '\'';
        if (out.empty())
            out = "''";
        return out;
    }

    static std::string FormatFloat(double v)
    {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        std::string s = buf;
        if (s.find_first_of(".e") == std::string::npos && std::isfinite(v))
            s += ".0";
        return s;
    }

    void WriteValue(TValueType type, int level, int depth)
    {
        if (depth > kMaxNesting)
            throw EStreamError("Values nested too deeply", m_in.Position());
        switch (type) {
        case vaNull:
            throw EStreamError("Value expected", m_in.Position() - 1);
        case vaList:
            m_text += "(";
            for (bool first = true; !m_in.EndOfList(); first = false) {
                if (!first)
                    m_text += ' ';
                WriteValue(m_in.ReadValueType(), level, depth + 1);
            }
            m_in.ReadByte();
            m_text += ")";
            return;
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            m_text += std::to_string(m_in.ReadIntegerValue(type));
            return;
        case vaExtended:
            m_text += FormatFloat(m_in.ReadExtended());
            return;
        case vaSingle:
            m_text += FormatFloat(m_in.ReadSingle()) + "s";
            return;
        case vaDouble:
            m_text += FormatFloat(m_in.ReadDouble()) + "r";
            return;
        case vaDate:
            m_text += FormatFloat(m_in.ReadDouble()) + "d";
            return;
        case vaCurrency:
            m_text += FormatFloat(static_cast<double>(m_in.ReadInt64()) / 10000.0) + "c";
            return;
        case vaString:
        case vaLString: {
            const std::size_t len = type == vaString ? m_in.ReadByte() : m_in.ReadLength(1);
            const auto bytes = m_in.ReadBytes(len);
            const std::string s(bytes.begin(), bytes.end());
            m_text += IsAscii(s) ? Quote(Utf8ToUtf16(s)) : "b" + QuoteBytes(s);
            return;
        }
        case vaWString: {
            const std::u16string w = m_in.ReadUtf16(m_in.ReadLength(2));
            bool ascii = true;
            for (char16_t c : w)
                ascii = ascii && c < 0x80;
            m_text += (ascii ? "w" : "") + Quote(w);
            return;
        }
        case vaUTF8String: {
            const auto bytes = m_in.ReadBytes(m_in.ReadLength(1));
            m_text +=
                "u" + Quote(Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
            return;
        }
        case vaIdent:
            m_text += m_in.ReadShortString();
            return;
        case vaFalse:
            m_text += "False";
            return;
        case vaTrue:
            m_text += "True";
            return;
        case vaNil:
            m_text += "nil";
            return;
        case vaSet: {
            m_text += "[";
            for (bool first = true;; first = false) {
                const std::string member = m_in.ReadShortString();
                if (member.empty())
                    break;
                if (!first)
                    m_text += ", ";
                m_text += member;
            }
            m_text += "]";
            return;
        }
        case vaBinary: {
            const auto data = m_in.ReadBytes(m_in.ReadLength(1));
            m_text += "{";
            for (std::size_t i = 0; i < data.size(); ++i) {
                if (i % 32 == 0) {
                    m_text += "\n";
                    Indent(level + 1);
                }
                static constexpr char kHex[] = "0123456789ABCDEF";
                m_text += kHex[data[i] >> 4];
                m_text += kHex[data[i] & 15];
            }
            m_text += "}";
            return;
        }
        case vaCollection: {
            m_text += "<";
            while (!m_in.EndOfList()) {
                m_text += "\n";
                Indent(level + 1);
                m_text += "item";
                TValueType t = m_in.ReadValueType();
                if (t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64) {
                    m_text += " [" + std::to_string(m_in.ReadIntegerValue(t)) + "]";
                    t = m_in.ReadValueType();
                }
                if (t != vaList)
                    throw EStreamError("Collection item expected", m_in.Position() - 1);
                m_text += "\n";
                while (!m_in.EndOfList()) {
                    Indent(level + 2);
                    m_text += m_in.ReadShortString();
                    m_text += " = ";
                    WriteValue(m_in.ReadValueType(), level + 2, depth + 1);
                    m_text += "\n";
                }
                m_in.ReadByte();
                Indent(level + 1);
                m_text += "end";
            }
            m_in.ReadByte();
            m_text += ">";
            return;
        }
        }
    }

    TStreamReader m_in;
    std::string m_text;
};

}  // namespace

std::vector<std::uint8_t> CompileLayout(std::string_view source, const std::string& fileName)
{
    // A UTF-8 byte order mark is allowed and skipped.
    if (source.size() >= 3 && source.substr(0, 3) == "\xEF\xBB\xBF")
        source.remove_prefix(3);
    TCompiler compiler(source, fileName);
    return compiler.Compile();
}

std::string DecompileLayout(std::span<const std::uint8_t> stream)
{
    TDecompiler decompiler(stream);
    return decompiler.Decompile();
}

}  // namespace fw::layout
