// Test tool run under Wine: a process with a large working set (first in the tray menu), waiting to be
// ended. Usage: memory_hog MEGABYTES
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 200;
  std::vector<char> block(megabytes << 20);
  std::memset(block.data(), 1, block.size());  // touched, so it is in the working set
  for (;;) ::Sleep(1000);
}
