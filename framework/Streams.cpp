#include "Streams.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace fw {

namespace {

// Lists and collections may nest; a hostile stream must not exhaust the
// stack.
constexpr int kMaxValueDepth = 64;

bool IsIntegerType(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }

}  // namespace

const char* ValueTypeName(TValueType type)
{
    switch (type) {
    case vaNull:
        return "Null";
    case vaList:
        return "List";
    case vaInt8:
        return "Int8";
    case vaInt16:
        return "Int16";
    case vaInt32:
        return "Int32";
    case vaExtended:
        return "Extended";
    case vaString:
        return "String";
    case vaIdent:
        return "Ident";
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaBinary:
        return "Binary";
    case vaSet:
        return "Set";
    case vaLString:
        return "LString";
    case vaNil:
        return "Nil";
    case vaCollection:
        return "Collection";
    case vaSingle:
        return "Single";
    case vaCurrency:
        return "Currency";
    case vaDate:
        return "Date";
    case vaWString:
        return "WString";
    case vaInt64:
        return "Int64";
    case vaUTF8String:
        return "UTF8String";
    case vaDouble:
        return "Double";
    }
    return "?";
}

EStreamError::EStreamError(const std::string& message, std::size_t offset)
    : EFrameworkError(message + " at offset " + std::to_string(offset)),
      m_reason(message),
      m_offset(offset)
{}

// ---------------------------------------------------------------------------
// Extended precision

void EncodeExtended(double value, std::uint8_t out[10])
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const unsigned sign = static_cast<unsigned>(bits >> 63);
    const int exp = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t frac = bits & ((std::uint64_t{1} << 52) - 1);
    std::uint64_t mantissa = 0;
    unsigned extExp = 0;
    if (exp == 0 && frac == 0) {
        // zero
    } else if (exp == 0x7FF) {
        extExp = 0x7FFF;
        mantissa = (std::uint64_t{1} << 63) | (frac << 11);
        if (frac != 0)
            mantissa |= std::uint64_t{1} << 62;
    } else if (exp == 0) {
        // Subnormal double: normal in the wider exponent range.
        int e = 1 - 1023;
        while ((frac & (std::uint64_t{1} << 52)) == 0) {
            frac <<= 1;
            --e;
        }
        mantissa = frac << 11;
        extExp = static_cast<unsigned>(e + 16383);
    } else {
        mantissa = (std::uint64_t{1} << 63) | (frac << 11);
        extExp = static_cast<unsigned>(exp - 1023 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    const unsigned se = extExp | (sign << 15);
    out[8] = static_cast<std::uint8_t>(se);
    out[9] = static_cast<std::uint8_t>(se >> 8);
}

double DecodeExtended(const std::uint8_t in[10])
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    const unsigned se = in[8] | (static_cast<unsigned>(in[9]) << 8);
    const bool negative = (se & 0x8000) != 0;
    const int exp = static_cast<int>(se & 0x7FFF);
    double v = 0.0;
    if (exp == 0x7FFF) {
        v = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    } else if (mantissa != 0) {
        v = std::ldexp(static_cast<double>(mantissa), exp - 16383 - 63);
    }
    return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// TStreamReader

void TStreamReader::Fail(const std::string& message, std::size_t offset) const { throw EStreamError(message, offset); }

void TStreamReader::Seek(std::size_t position)
{
    if (position > m_data.size())
        Fail("Seek beyond the end of the stream", position);
    m_pos = position;
}

void TStreamReader::Require(std::size_t count) const
{
    if (count > Remaining()) {
        Fail("Stream read error: " + std::to_string(count) + " bytes needed, " + std::to_string(Remaining()) + " left",
             m_pos);
    }
}

std::uint8_t TStreamReader::ReadByte()
{
    Require(1);
    return m_data[m_pos++];
}

std::uint8_t TStreamReader::PeekByte() const
{
    Require(1);
    return m_data[m_pos];
}

std::uint16_t TStreamReader::ReadUInt16()
{
    Require(2);
    const auto v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::uint32_t TStreamReader::ReadUInt32()
{
    Require(4);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(m_data[m_pos + static_cast<std::size_t>(i)]) << (8 * i);
    m_pos += 4;
    return v;
}

std::uint64_t TStreamReader::ReadUInt64()
{
    Require(8);
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(m_data[m_pos + static_cast<std::size_t>(i)]) << (8 * i);
    m_pos += 8;
    return v;
}

float TStreamReader::ReadSingle()
{
    const std::uint32_t bits = ReadUInt32();
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double TStreamReader::ReadDouble()
{
    const std::uint64_t bits = ReadUInt64();
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

double TStreamReader::ReadExtended()
{
    Require(10);
    const double v = DecodeExtended(m_data.data() + m_pos);
    m_pos += 10;
    return v;
}

std::span<const std::uint8_t> TStreamReader::ReadBytes(std::size_t count)
{
    Require(count);
    auto s = m_data.subspan(m_pos, count);
    m_pos += count;
    return s;
}

std::string TStreamReader::ReadShortString()
{
    const std::size_t len = ReadByte();
    auto bytes = ReadBytes(len);
    return std::string(bytes.begin(), bytes.end());
}

std::u16string TStreamReader::ReadUtf16(std::size_t count)
{
    if (count > Remaining() / 2)
        Require(count * 2);
    std::u16string s;
    s.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<char16_t>(ReadUInt16());
    return s;
}

TValueType TStreamReader::ReadValueType()
{
    const std::size_t at = m_pos;
    const std::uint8_t b = ReadByte();
    if (b > vaDouble)
        Fail("Invalid value type " + std::to_string(b), at);
    return static_cast<TValueType>(b);
}

TValueType TStreamReader::PeekValueType() const
{
    const std::uint8_t b = PeekByte();
    if (b > vaDouble)
        Fail("Invalid value type " + std::to_string(b), m_pos);
    return static_cast<TValueType>(b);
}

void TStreamReader::ReadListEnd()
{
    const std::size_t at = m_pos;
    if (ReadByte() != vaNull)
        Fail("End of list expected", at);
}

std::int64_t TStreamReader::ReadIntegerValue(TValueType type)
{
    switch (type) {
    case vaInt8:
        return ReadInt8();
    case vaInt16:
        return ReadInt16();
    case vaInt32:
        return ReadInt32();
    case vaInt64:
        return ReadInt64();
    default:
        Fail(std::string("Integer expected, found ") + ValueTypeName(type), m_pos == 0 ? 0 : m_pos - 1);
    }
}

std::uint32_t TStreamReader::ReadLength(std::size_t unitSize)
{
    const std::size_t at = m_pos;
    const std::uint32_t len = ReadUInt32();
    if (static_cast<std::uint64_t>(len) * unitSize > Remaining()) {
        Fail("Length " + std::to_string(len) + " exceeds the " + std::to_string(Remaining()) + " bytes left", at);
    }
    return len;
}

void TStreamReader::SkipValue(TValueType type, int depth)
{
    if (depth > kMaxValueDepth)
        Fail("Values nested too deeply", m_pos);
    switch (type) {
    case vaNull:
        Fail("Value expected", m_pos == 0 ? 0 : m_pos - 1);
    case vaList:
        while (!EndOfList())
            SkipValue(ReadValueType(), depth + 1);
        ReadListEnd();
        return;
    case vaInt8:
        ReadBytes(1);
        return;
    case vaInt16:
        ReadBytes(2);
        return;
    case vaInt32:
    case vaSingle:
        ReadBytes(4);
        return;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble:
        ReadBytes(8);
        return;
    case vaExtended:
        ReadBytes(10);
        return;
    case vaString:
    case vaIdent:
        ReadShortString();
        return;
    case vaLString:
    case vaUTF8String:
    case vaBinary:
        ReadBytes(ReadLength(1));
        return;
    case vaWString:
        ReadBytes(std::size_t{ReadLength(2)} * 2);
        return;
    case vaSet:
        while (!ReadShortString().empty()) {
        }
        return;
    case vaFalse:
    case vaTrue:
    case vaNil:
        return;
    case vaCollection:
        while (!EndOfList()) {
            const std::size_t at = m_pos;
            TValueType t = ReadValueType();
            if (IsIntegerType(t)) {
                ReadIntegerValue(t);
                t = ReadValueType();
            }
            if (t != vaList)
                Fail("Collection item expected", at);
            while (!EndOfList()) {
                ReadShortString();
                SkipValue(ReadValueType(), depth + 1);
            }
            ReadListEnd();
        }
        ReadListEnd();
        return;
    }
}

// ---------------------------------------------------------------------------
// TStreamWriter

void TStreamWriter::WriteUInt16(std::uint16_t v)
{
    WriteByte(static_cast<std::uint8_t>(v));
    WriteByte(static_cast<std::uint8_t>(v >> 8));
}

void TStreamWriter::WriteUInt32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        WriteByte(static_cast<std::uint8_t>(v >> (8 * i)));
}

void TStreamWriter::WriteUInt64(std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        WriteByte(static_cast<std::uint8_t>(v >> (8 * i)));
}

void TStreamWriter::WriteBytes(std::span<const std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void TStreamWriter::WriteBytes(std::string_view bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

void TStreamWriter::WriteSignature() { WriteBytes(std::string_view(kStreamSignature, 4)); }

void TStreamWriter::WriteShortString(std::string_view s)
{
    if (s.size() > 255)
        throw EFrameworkError("Name too long for the stream: " + std::string(s.substr(0, 40)));
    WriteByte(static_cast<std::uint8_t>(s.size()));
    WriteBytes(s);
}

static std::uint32_t CheckedLength(std::size_t n)
{
    if (n > std::numeric_limits<std::uint32_t>::max())
        throw EFrameworkError("Value too large for the stream");
    return static_cast<std::uint32_t>(n);
}

void TStreamWriter::WriteInteger(std::int64_t value)
{
    if (value >= -128 && value <= 127) {
        WriteByte(vaInt8);
        WriteByte(static_cast<std::uint8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteByte(vaInt16);
        WriteUInt16(static_cast<std::uint16_t>(value));
    } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        WriteByte(vaInt32);
        WriteUInt32(static_cast<std::uint32_t>(value));
    } else {
        WriteByte(vaInt64);
        WriteUInt64(static_cast<std::uint64_t>(value));
    }
}

void TStreamWriter::WriteString(std::string_view bytes)
{
    if (bytes.size() <= 255) {
        WriteByte(vaString);
        WriteByte(static_cast<std::uint8_t>(bytes.size()));
    } else {
        WriteByte(vaLString);
        WriteUInt32(CheckedLength(bytes.size()));
    }
    WriteBytes(bytes);
}

void TStreamWriter::WriteWString(std::string_view utf8) { WriteWString(Utf8ToUtf16(utf8)); }

void TStreamWriter::WriteWString(std::u16string_view utf16)
{
    WriteByte(vaWString);
    WriteUInt32(CheckedLength(utf16.size()));
    for (char16_t c : utf16)
        WriteUInt16(static_cast<std::uint16_t>(c));
}

void TStreamWriter::WriteUtf8String(std::string_view utf8)
{
    WriteByte(vaUTF8String);
    WriteUInt32(CheckedLength(utf8.size()));
    WriteBytes(utf8);
}

void TStreamWriter::WriteIdent(std::string_view ident)
{
    WriteByte(vaIdent);
    WriteShortString(ident);
}

void TStreamWriter::WriteSet(const std::vector<std::string>& members)
{
    WriteByte(vaSet);
    for (const auto& m : members) {
        if (m.empty())
            throw EFrameworkError("Empty set member");
        WriteShortString(m);
    }
    WriteByte(0);
}

void TStreamWriter::WriteBinary(std::span<const std::uint8_t> data)
{
    WriteByte(vaBinary);
    WriteUInt32(CheckedLength(data.size()));
    WriteBytes(data);
}

void TStreamWriter::WriteExtended(double value)
{
    std::uint8_t buf[10];
    EncodeExtended(value, buf);
    WriteByte(vaExtended);
    WriteBytes(std::span<const std::uint8_t>(buf, 10));
}

void TStreamWriter::WriteSingle(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteByte(vaSingle);
    WriteUInt32(bits);
}

void TStreamWriter::WriteDouble(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteByte(vaDouble);
    WriteUInt64(bits);
}

}  // namespace fw
