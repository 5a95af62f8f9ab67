#include "archivers/zipsfx/zip2exe_cli.h"

#include <cctype>

#include "archivers/zipsfx/sfx_image.h"

namespace qlsfx {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool ReadWhole(qlzip::Host& host, const std::string& path, size_t limit, std::vector<uint8_t>* data) {
  std::FILE* f = host.OpenRead(path);
  if (!f) return false;
  data->resize(limit);
  data->resize(std::fread(data->data(), 1, limit, f));
  std::fclose(f);
  return true;
}

}  // namespace

int RunZip2Exe(const std::vector<std::string>& args, const std::string& stubPath, qlzip::Host& host,
               std::FILE* log) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(log, "Usage: zip2exe zipfile[.ZIP]\n  makes zipfile.EXE, a program that extracts the archive\n");
    return kZ2eBadParams;
  }
  std::string input = qlzip::ToSlashes(args[0]);
  qlzip::DirEntry st;
  if (!host.Stat(input, st) && !qlzip::HasExtension(input)) input += ".ZIP";
  if (!host.Stat(input, st) || st.isDir) {
    std::fprintf(log, "ZIP2EXE: can't find %s\n", input.c_str());
    return kZ2eNoArchive;
  }
  std::string output = input;
  if (qlzip::HasExtension(output)) output.erase(output.rfind('.'));
  output += ".EXE";
  if (Upper(output) == Upper(input)) {
    std::fprintf(log, "ZIP2EXE: %s is already a program\n", input.c_str());
    return kZ2eBadParams;
  }

  std::vector<uint8_t> stub;
  if (!ReadWhole(host, qlzip::ToSlashes(stubPath), kStubLimit + 1, &stub) || stub.empty()) {
    std::fprintf(log, "ZIP2EXE: the self-extractor module %s is missing\n", stubPath.c_str());
    return kZ2eNoStub;
  }
  std::string problem = StubProblem(stub.data(), stub.size());
  if (!problem.empty()) {
    std::fprintf(log, "ZIP2EXE: the self-extractor module %s can't be used: %s\n", stubPath.c_str(),
                 problem.c_str());
    return kZ2eNoStub;
  }

  // Only our own self-extractor of this very archive is replaced.
  const std::string archiveName = qlzip::BaseName(input);
  qlzip::DirEntry existing;
  if (host.Stat(output, existing)) {
    std::vector<uint8_t> head;
    if (existing.isDir || !ReadWhole(host, output, 1 << 16, &head) ||
        !IsSelfExtractorOf(head.data(), head.size(), archiveName)) {
      std::fprintf(log,
                   "ZIP2EXE: %s already exists and is not a self-extractor made from %s.\n"
                   "It was left as it is: rename or delete it, then try again.\n",
                   output.c_str(), archiveName.c_str());
      return kZ2eExeInTheWay;
    }
  }

  std::FILE* in = host.OpenRead(input);
  if (!in) {
    std::fprintf(log, "ZIP2EXE: can't open %s\n", input.c_str());
    return kZ2eNoArchive;
  }
  qlzip::FileSource src(in);
  const std::string dir = qlzip::DirName(output);
  std::FILE* out = nullptr;
  std::string temp;
  for (int n = 0; n < 1000 && !out; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "ZIP2E%03d.TMP", n);
    temp = qlzip::JoinPath(dir, name);
    out = host.CreateNew(temp);
  }
  if (!out) {
    std::fprintf(log, "ZIP2EXE: can't create a file beside %s\n", output.c_str());
    return kZ2eWriteError;
  }
  std::string error;
  bool made = MakeSelfExtractor(stub, src, archiveName,
                                [&](const uint8_t* p, size_t n) { return std::fwrite(p, 1, n, out) == n; }, &error);
  if (std::fclose(out) != 0 && made) {
    made = false;
    error = "the self-extracting program cannot be written";
  }
  if (!made) {
    host.Remove(temp);
    std::fprintf(log, "ZIP2EXE: %s: %s\n", input.c_str(), error.c_str());
    return error.find("written") != std::string::npos ? kZ2eWriteError : kZ2eBadArchive;
  }
  if (!host.Replace(temp, output)) {
    host.Remove(temp);
    std::fprintf(log, "ZIP2EXE: can't write %s\n", output.c_str());
    return kZ2eWriteError;
  }
  std::fprintf(log, "Self-extracting program %s made from %s\n", output.c_str(), input.c_str());
  return kZ2eOk;
}

}  // namespace qlsfx
