// The one checked write loop of the program's files: write() may take less than it
// is given (a full disk, a size limit, a signal), and a file that claims bytes it
// does not hold misleads whoever reads it.
#pragma once

#include <cstddef>
#include <string_view>

namespace kinemo {

// Writes every byte to `fd`, again after EINTR. False on failure, with errno set
// (EIO where the system took nothing and named no error). `written`, when given,
// counts the bytes that reached `fd`.
bool writeAll(int fd, std::string_view bytes, std::size_t* written = nullptr);

}  // namespace kinemo
