// Byte-level access to component streams: a bounds-checked reader over a
// byte span and a writer into a byte vector, with the value encodings of the
// stream format (little-endian throughout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Types.h"

namespace fw {

// Value tags of the stream format.
enum TValueType : std::uint8_t {
    vaNull = 0,  // end of a list; also "no value"
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,  // 10-byte x87 extended float
    vaString = 6,    // 1-byte length + bytes
    vaIdent = 7,     // 1-byte length + bytes
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,   // 4-byte length + bytes
    vaSet = 11,      // identifiers (1-byte length each) ended by an empty one
    vaLString = 12,  // 4-byte length + bytes
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,  // 64-bit integer scaled by 10000
    vaDate = 17,      // double
    vaWString = 18,   // 4-byte length in UTF-16 units + units
    vaInt64 = 19,
    vaUTF8String = 20,  // 4-byte length + UTF-8 bytes
    vaDouble = 21,
};

const char* ValueTypeName(TValueType type);

// The signature that starts every component stream.
inline constexpr char kStreamSignature[4] = {'T', 'P', 'F', '0'};

// Raised for reads past the end and malformed encodings; carries the offset
// at which the failing read started.
class EStreamError : public EFrameworkError {
public:
    EStreamError(const std::string& message, std::size_t offset);
    std::size_t Offset() const { return m_offset; }
    // The message without the " at offset N" suffix.
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_reason;
    std::size_t m_offset;
};

class TStreamReader {
public:
    explicit TStreamReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t Position() const { return m_pos; }
    std::size_t Size() const { return m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }
    void Seek(std::size_t position);

    // Throws EStreamError unless count more bytes are available.
    void Require(std::size_t count) const;

    std::uint8_t ReadByte();
    std::uint8_t PeekByte() const;
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::uint64_t ReadUInt64();
    std::int8_t ReadInt8() { return static_cast<std::int8_t>(ReadByte()); }
    std::int16_t ReadInt16() { return static_cast<std::int16_t>(ReadUInt16()); }
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    std::int64_t ReadInt64() { return static_cast<std::int64_t>(ReadUInt64()); }
    float ReadSingle();
    double ReadDouble();
    // 10-byte extended precision, rounded to double.
    double ReadExtended();
    std::span<const std::uint8_t> ReadBytes(std::size_t count);
    // 1-byte length, then the bytes.
    std::string ReadShortString();
    // count UTF-16 code units.
    std::u16string ReadUtf16(std::size_t count);

    // Value-level helpers: tag byte plus payload.
    TValueType ReadValueType();
    TValueType PeekValueType() const;
    bool EndOfList() const { return PeekByte() == vaNull; }
    void ReadListEnd();
    // Accepts Int8/16/32/64 (Int64 only when fits in 64 bits, always).
    std::int64_t ReadIntegerValue(TValueType type);
    // Length of the payload that a String/LString/WString/UTF8String/Binary
    // value announces is checked against the remaining bytes before anything
    // is allocated.
    std::uint32_t ReadLength(std::size_t unitSize);
    // Skips one value of the given type (nested lists and collections too,
    // up to a nesting limit).
    void SkipValue(TValueType type, int depth = 0);

private:
    [[noreturn]] void Fail(const std::string& message, std::size_t offset) const;

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

class TStreamWriter {
public:
    TStreamWriter() = default;

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }
    std::size_t Position() const { return m_bytes.size(); }

    void WriteByte(std::uint8_t b) { m_bytes.push_back(b); }
    void WriteUInt16(std::uint16_t v);
    void WriteUInt32(std::uint32_t v);
    void WriteUInt64(std::uint64_t v);
    void WriteBytes(std::span<const std::uint8_t> bytes);
    void WriteBytes(std::string_view bytes);
    void WriteSignature();
    // Throws EFrameworkError for more than 255 bytes.
    void WriteShortString(std::string_view s);

    // Tagged values.
    void WriteValueType(TValueType type) { WriteByte(type); }
    void WriteListBegin() { WriteByte(vaList); }
    void WriteListEnd() { WriteByte(vaNull); }
    // Smallest of Int8/Int16/Int32, Int64 beyond 32 bits.
    void WriteInteger(std::int64_t value);
    void WriteBoolean(bool value) { WriteByte(value ? vaTrue : vaFalse); }
    // String when at most 255 bytes, LString otherwise; bytes verbatim.
    void WriteString(std::string_view bytes);
    // WString from UTF-8 text.
    void WriteWString(std::string_view utf8);
    void WriteWString(std::u16string_view utf16);
    void WriteUtf8String(std::string_view utf8);
    void WriteIdent(std::string_view ident);
    void WriteSet(const std::vector<std::string>& members);
    void WriteBinary(std::span<const std::uint8_t> data);
    void WriteExtended(double value);
    void WriteSingle(float value);
    void WriteDouble(double value);
    void WriteNil() { WriteByte(vaNil); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// 10-byte extended encoding of a double (exact for every finite double).
void EncodeExtended(double value, std::uint8_t out[10]);
double DecodeExtended(const std::uint8_t in[10]);

}  // namespace fw
