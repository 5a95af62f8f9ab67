// Writes archives through the engine libraries, called as Quillon calls them, for the Info-ZIP
// check that follows (infozip_check.sh). Argument: the output directory (a Windows path).
#include <windows.h>

#include <cstdio>
#include <string>

typedef int(WINAPI* ZipFn)(HWND, LPCSTR, DWORD, int);

static void Put(const std::string& path, const std::string& data) {
  std::string dir = path.substr(0, path.find_last_of('\\'));
  for (size_t p = 3; p <= dir.size(); ++p)
    if (p == dir.size() || dir[p] == '\\') CreateDirectoryA(dir.substr(0, p).c_str(), nullptr);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD n = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
  CloseHandle(h);
}

static std::string Content(size_t n, unsigned seed, bool noise) {
  std::string s(n, '\0');
  unsigned x = seed | 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s[i] = noise ? static_cast<char>(x) : "abc de\r\nfgh ij"[x % 14];
  }
  return s;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string out = argv[1];
  std::string dll = std::string(QL_PROGRAM_DIR_WIN) + "\\QL53NTI2.DLL";
  HMODULE lib = LoadLibraryA(dll.c_str());
  ZipFn zip = lib ? reinterpret_cast<ZipFn>(GetProcAddress(lib, "zip")) : nullptr;
  if (!zip) {
    std::printf("cannot load %s\n", dll.c_str());
    return 3;
  }
  std::string src = out + "\\src", work = out + "\\QL5TEMP";
  Put(src + "\\readme.txt", Content(4000, 1, false));
  Put(src + "\\empty.txt", "");
  Put(src + "\\docs\\guide.txt", Content(300000, 2, false));
  Put(src + "\\docs\\deep\\blob.bin", Content(70000, 3, true));
  Put(src + "\\big\\large.txt", Content(9u << 20, 4, false));  // streamed
  Put(work + "\\ql5files", "*.*\r\n");
  SetCurrentDirectoryA(src.c_str());
  const char* variants[][2] = {
      {"max", "| -ex"}, {"normal", "| -en"}, {"fast", "| -es"}, {"stored", "| -e0"},
      {"scrambled", "| -ex| -ss3cret"}, {"scrambled_stored", "| -e0| -sp4ss"},
  };
  int failures = 0;
  for (auto& v : variants) {
    std::string arc = out + "\\" + v[0] + ".zip";
    DeleteFileA(arc.c_str());
    std::string args = "-a |" + arc + v[1] + "| -rp| -P| -b" + work + "\\| @" + work + "\\ql5files| -q";
    int r = zip(nullptr, args.c_str(), 0x3B9A5E, 0);
    std::printf("%s: %d\n", v[0], r);
    failures += r != 0;
  }
  // Changes to an existing archive: delete and freshen keep it valid.
  std::string arc = out + "\\changed.zip";
  DeleteFileA(arc.c_str());
  failures += zip(nullptr, ("-a |" + arc + "| -rp| -P| -b" + work + "\\| @" + work + "\\ql5files| -q").c_str(),
                  0x3B9A5E, 0) != 0;
  Put(work + "\\ql5files", "docs/guide.txt\r\n");
  failures += zip(nullptr, ("-d| " + arc + "| @" + work + "\\ql5files| -b" + work + "\\| -q").c_str(), 0x3B9A5E, 0) != 0;
  failures += zip(nullptr, (arc + "| -a| -P| -b" + work + "\\| docs\\guide.txt| -q").c_str(), 0x3B9A5E, 0) != 0;
  return failures;
}
