// Compiles a program held in memory and prints what the compiler found:
// the example of "Compiling from your own program" in the README.
#include <iostream>

#include "vk6/compiler.h"

int main() {
  const char* text = "Public T\r\nBeginProg\r\n  Scan(1, Sec)\r\n"
                     "    T = Z + 1\r\n  NextScan\r\nEndProg\r\n";
  const vk6::CompileResult r =
      vk6::compileProgram({text, "demo.vk6"}, {"VK617Q.Std.03", "131104"});
  for (const vk6::Diagnostic& d : r.diagnostics)
    std::cout << "demo.vk6:" << d.line << ": "
              << (d.severity == vk6::Severity::kError ? "error: " : "warning: ")
              << d.message << "\n";
  std::cout << "variables: " << r.symbols.variables.size()
            << ", image bytes: " << r.image.size() << "\n";
  return r.outcome() == vk6::Outcome::kCompiled ? 0 : 1;
}
