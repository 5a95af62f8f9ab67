#include "archivers/arj/tests/test_util.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

namespace arjtest {

ScratchDir::ScratchDir() {
  const char* base = getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/arjtest.XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back(0);
  path_ = mkdtemp(buf.data());
}

ScratchDir::~ScratchDir() {
  if (!path_.empty()) {
    std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (system(cmd.c_str()) != 0) {
    }
  }
}

void WriteFile(const std::string& path, const std::string& data) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeDirs(path.substr(0, slash));
  std::ofstream f(path, std::ios::binary);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0777);
}

std::string TextData(size_t size, unsigned seed) {
  static const char* const kWords[] = {"archive", "header", "volume", "garble", "method",
                                       "window",  "stored", "quillon", "listing", "extract",
                                       "the",     "of",     "and",    "a",       "to"};
  std::mt19937 r(seed);
  std::string s;
  while (s.size() < size) {
    s += kWords[r() % 15];
    s += (r() % 9 == 0) ? "\n" : " ";
    if (r() % 50 == 0) s += std::to_string(r() % 100000);
  }
  s.resize(size);
  return s;
}

std::string RandomData(size_t size, unsigned seed) {
  std::mt19937 r(seed);
  std::string s(size, 0);
  for (char& c : s) c = static_cast<char>(r());
  return s;
}

RunResult Run(const std::string& dir, const std::string& command, const std::string& input) {
  ScratchDir io;
  WriteFile(io / "in", input);
  std::string full = "cd '" + dir + "' && (" + command + ") <'" + io.path() + "/in' >'" +
                     io.path() + "/out' 2>&1";
  int status = system(full.c_str());
  RunResult r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.output = ReadFile(io / "out");
  return r;
}

std::string OurArj() { return ARJ_QL_PATH; }

bool HavePeerArj() { return access("/usr/bin/arj", X_OK) == 0; }

static void Collect(const std::string& root, const std::string& rel,
                    std::map<std::string, std::string>* out) {
  DIR* d = opendir((root + "/" + rel).c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    std::string r = rel.empty() ? n : rel + "/" + n;
    struct stat st;
    if (stat((root + "/" + r).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      (*out)[r + "/"] = "";
      Collect(root, r, out);
    } else {
      (*out)[r] = ReadFile(root + "/" + r);
    }
  }
  closedir(d);
}

std::string CompareTrees(const std::string& a, const std::string& b) {
  std::map<std::string, std::string> ma, mb;
  Collect(a, "", &ma);
  Collect(b, "", &mb);
  for (const auto& [k, v] : ma) {
    auto it = mb.find(k);
    if (it == mb.end()) return "missing " + k;
    if (it->second != v) return "differs " + k;
  }
  for (const auto& [k, v] : mb)
    if (!ma.count(k)) return "extra " + k;
  return "";
}

CliResult CaptureCli(int (*run)(const std::vector<std::string>& args, FILE* out),
                     const std::vector<std::string>& args) {
  char* buf = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buf, &size);
  int code = run(args, out);
  fclose(out);
  CliResult r{code, std::string(buf, size)};
  free(buf);
  return r;
}

std::function<size_t(uint8_t*, size_t)> StringReader(const std::string& data) {
  auto pos = std::make_shared<size_t>(0);  // copies of the reader share the position
  return [&data, pos](uint8_t* b, size_t n) {
    n = std::min(n, data.size() - *pos);
    memcpy(b, data.data() + *pos, n);
    *pos += n;
    return n;
  };
}

std::function<bool(const uint8_t*, size_t)> StringWriter(std::string* out) {
  return [out](const uint8_t* b, size_t n) {
    out->append(reinterpret_cast<const char*>(b), n);
    return true;
  };
}

}  // namespace arjtest
