#include "files/DateText.h"

#include <iconv.h>

#include <algorithm>

namespace kinemo {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Empty when the input holds a sequence that is invalid or incomplete in the
    // source encoding.
    std::optional<std::string> convert(std::string_view in) {
        if (!valid()) return std::nullopt;
        // One CP932 byte can become three UTF-8 bytes; nothing grows more.
        std::string out(in.size() * 3 + 8, '\0');
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> dateTextToUtf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(bytes);
    }
    // glibc's UTF-8 decoder refuses overlong forms, surrogates and cut sequences,
    // so converting UTF-8 to itself checks it.
    if (auto utf8 = Converter("UTF-8", "UTF-8").convert(bytes)) return utf8;
    return Converter("UTF-8", "CP932").convert(bytes);
}

}  // namespace kinemo
