// Writes the moon picture's year tables, one line per year: "YYYY " and the
// 1664-character table.
//   make-moon-tables [OUT]   (default: standard output)
#include <cstdio>
#include <fstream>
#include <iostream>

#include "moon/moon_picture.h"

int main(int argc, char** argv) {
  using namespace cirrodex::moon;
  std::ofstream file;
  if (argc > 1) {
    file.open(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "make-moon-tables: cannot write " << argv[1] << "\n";
      return 1;
    }
  }
  std::ostream& out = argc > 1 ? static_cast<std::ostream&>(file) : std::cout;
  for (int year = kFirstTableYear; year <= kLastTableYear; ++year) out << year << ' ' << year_table_text(year) << '\n';
  out.flush();
  return out ? 0 : 1;
}
