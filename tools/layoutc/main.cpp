// ks_layoutc: compiles a text layout source into the binary component
// stream stored in the program's resources, or prints a stream as text.
//
//   ks_layoutc <source.txt> <output.bin>
//   ks_layoutc --to-text <stream.bin> [<output.txt>]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "LayoutText.h"
#include "Streams.h"

namespace {

bool ReadFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFile(const std::string& path, const void* data, std::size_t size)
{
    // Written to a temporary name first so that a failed run never leaves a
    // half-written output behind for the next build step.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

int Usage()
{
    std::cerr << "usage: ks_layoutc <source.txt> <output.bin>\n"
                 "       ks_layoutc --to-text <stream.bin> [<output.txt>]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    try {
        if (args[0] == "--to-text") {
            if (args.size() < 2 || args.size() > 3)
                return Usage();
            std::string bytes;
            if (!ReadFile(args[1], bytes)) {
                std::cerr << args[1] << ": cannot read\n";
                return 1;
            }
            const std::string text = fw::layout::DecompileLayout(
                std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
            if (args.size() == 3) {
                if (!WriteFile(args[2], text.data(), text.size())) {
                    std::cerr << args[2] << ": cannot write\n";
                    return 1;
                }
            } else {
                std::cout << text;
            }
            return 0;
        }
        if (args.size() != 2)
            return Usage();
        std::string source;
        if (!ReadFile(args[0], source)) {
            std::cerr << args[0] << ": cannot read\n";
            return 1;
        }
        const std::vector<std::uint8_t> stream = fw::layout::CompileLayout(source, args[0]);
        if (!WriteFile(args[1], stream.data(), stream.size())) {
            std::cerr << args[1] << ": cannot write\n";
            return 1;
        }
        return 0;
    } catch (const fw::layout::ELayoutError& e) {
        std::cerr << e.what() << "\n";
    } catch (const fw::EStreamError& e) {
        std::cerr << args.back() << ": " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "ks_layoutc: " << e.what() << "\n";
    }
    return 1;
}
