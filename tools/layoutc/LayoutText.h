// Text form of stored layouts and its conversion to and from the binary
// component stream. Works on syntax only: no class is looked up.
//
//   object FormMain: TFormMain          // record: name, class
//     Left = 745                        // Int8/Int16/Int32 as small as fits, $hex too
//     Caption = 'FormMain'              // ASCII text -> String, other text -> WString
//     Font.Style = [fsBold, fsItalic]   // set
//     Position = poDesktopCenter        // identifier (True/False/nil are values)
//     Ratio = 1.5                       // Extended (suffix s: Single, r: Double,
//                                       //  c: Currency, d: Date)
//     Items.Strings = ('a' 'b')         // list
//     Bitmaps = <                       // collection
//       item
//         ResID = 'KsSkinBtn_close'
//       end>
//     Data = {0A0B0C}                   // binary, hex digits
//     object Child: TChild ... end      // child records ('inherited' too)
//   end
//
// Strings concatenate quoted parts and character codes: 'a'#13#10'b' or
// #$4E2D; '+' joins parts across lines. Prefixes force an encoding:
// b'...' raw 8-bit bytes (codes are bytes 0..255, quoted text is copied
// byte for byte), w'...' WString, u'...' UTF8String. Comments: // to end
// of line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Types.h"

namespace fw::layout {

// A syntax error; what() is "file:line:column: message".
class ELayoutError : public EFrameworkError {
public:
    ELayoutError(const std::string& file, int line, int column, const std::string& message);
    int Line() const { return m_line; }
    int Column() const { return m_column; }
    const std::string& Message() const { return m_message; }

private:
    int m_line;
    int m_column;
    std::string m_message;
};

// Text -> binary component stream ("TPF0" + the root record).
std::vector<std::uint8_t> CompileLayout(std::string_view source, const std::string& fileName);

// Binary component stream -> text; damaged input throws EStreamError.
std::string DecompileLayout(std::span<const std::uint8_t> stream);

}  // namespace fw::layout
