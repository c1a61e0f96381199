// vk6lsp: the language server over stdin and stdout. Reads what is there,
// answers it, and compiles changed documents only once no more input is
// waiting, so a burst of keystrokes costs one compile.
#include <cstdio>
#include <string>

#include "lsp/server.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kReadSize = 64 * 1024;

long readInput(char* buffer, std::size_t size) {
#ifdef _WIN32
  return _read(0, buffer, static_cast<unsigned>(size));
#else
  return static_cast<long>(read(0, buffer, size));
#endif
}

bool inputWaiting() {
#ifdef _WIN32
  return false;
#else
  pollfd input{0, POLLIN, 0};
  return poll(&input, 1, 0) > 0;
#endif
}

void flush(vk6::lsp::Server& server) {
  const std::string out = server.takeOutput();
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main() {
#ifdef _WIN32
  // The protocol counts bytes: no CR LF translation either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  vk6::lsp::Server server({{vk6::modelString("VK617Q"), VK6_BUILD_DATE},
                           {vk6::modelString("VK610Q"), VK6_BUILD_DATE}});
  std::string buffer(kReadSize, '\0');
  while (!server.exited()) {
    const long got = readInput(buffer.data(), buffer.size());
    if (got <= 0) break;
    server.receive(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    if (!server.exited() && !inputWaiting()) server.idle();
    flush(server);
  }
  // The input ended without an exit notification: as after exit without
  // shutdown.
  return server.exited() ? server.exitCode() : 1;
}
