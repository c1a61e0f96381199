// The floor of the benchmark: a process that only reads the program file
// and writes a one-line results file, as every compile must.
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)),
                         std::istreambuf_iterator<char>());
  std::ofstream out(argv[2], std::ios::binary);
  out << argv[1] << " -- " << text.size() << " bytes read.\r\n";
  return out ? 0 : 1;
}
