#include "archivers/zip/options.h"

#include <cctype>
#include <cstring>

namespace qlzip {

namespace {
std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

// Letters of the DOS memory and processor switches: accepted and ignored.
bool IsDosOnly(char c) { return strchr(")(=~3+-", c) != nullptr; }
}  // namespace

std::vector<std::string> SplitEngineString(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= s.size()) {
    size_t bar = s.find('|', start);
    if (bar == std::string::npos) bar = s.size();
    std::string el = Trim(s.substr(start, bar - start));
    start = bar + 1;
    if (el.empty()) continue;
    if (el[0] != '-') {
      out.push_back(el);
      continue;
    }
    // One or more options in this element.
    size_t p = 0;
    while (p < el.size()) {
      while (p < el.size() && (el[p] == ' ' || el[p] == '\t')) ++p;
      if (p >= el.size()) break;
      if (el[p] == '-' && p + 1 < el.size() && (el[p + 1] == 's' || el[p + 1] == 'S' || el[p + 1] == 'b' ||
                                                 el[p + 1] == 'B')) {
        out.push_back(Trim(el.substr(p)));
        break;
      }
      size_t q = el.find_first_of(" \t", p);
      if (q == std::string::npos) q = el.size();
      out.push_back(el.substr(p, q - p));
      p = q;
    }
  }
  return out;
}

ZipArgs ParseZipArgs(const std::vector<std::string>& tokens) {
  ZipArgs a;
  auto setAction = [&](ZipAction act) {
    if (a.actionGiven && a.action != act) a.error = "only one of -a -u -f -d may be given";
    a.action = act;
    a.actionGiven = true;
  };
  for (const std::string& t : tokens) {
    if (t.size() >= 2 && t[0] == '-') {
      for (size_t i = 1; i < t.size(); ++i) {
        char c = t[i];
        char l = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (c == 'P') {
          a.givenPaths = true;
          continue;
        }
        if (IsDosOnly(c)) continue;
        switch (l) {
          case 'a': setAction(ZipAction::kAdd); break;
          case 'u': setAction(ZipAction::kUpdate); break;
          case 'f': setAction(ZipAction::kFreshen); break;
          case 'd': setAction(ZipAction::kDelete); break;
          case 'v': setAction(ZipAction::kView); break;
          case 'm': a.move = true; break;
          case 'r': a.recurse = true; break;
          case 'p': a.relPaths = true; break;
          case 'k': a.keepDate = true; break;
          case 'o': a.newestDate = true; break;
          case '$': a.label = true; while (i + 1 < t.size() && isalpha(static_cast<unsigned char>(t[i + 1]))) ++i; break;
          case 'q': a.quiet = true; break;
          case 'z': a.archiveComment = true; break;
          case 'c': a.fileComments = true; break;
          case 'w': case 'j':
            while (i + 1 < t.size() && strchr("hsrHSR,", t[i + 1])) ++i;
            if (l == 'w') a.hiddenSystem = true;
            break;
          case '&':
            a.span = true;
            while (i + 1 < t.size() && strchr("fluwvFLUWV", t[i + 1])) ++i;
            break;
          case 'e': {
            char n = i + 1 < t.size() ? static_cast<char>(tolower(static_cast<unsigned char>(t[i + 1]))) : 'n';
            if (i + 1 < t.size()) ++i;
            if (n == 'x') a.level = 9;
            else if (n == 'n') a.level = 6;
            else if (n == 'f') a.level = 3;
            else if (n == 's') a.level = 1;
            else if (n == '0') a.level = 0;
            else a.error = std::string("unknown compression option -e") + n;
            break;
          }
          case 's':
            a.password = true;
            a.passwordText = t.substr(i + 1);
            i = t.size();
            break;
          case 'b':
            a.tempDir = t.substr(i + 1);
            i = t.size();
            break;
          case 'x':
            if (i + 1 < t.size()) a.excludes.push_back(t.substr(i + 1));
            i = t.size();
            break;
          case 't':  // only files dated on or after: the date digits are accepted
            while (i + 1 < t.size() && isdigit(static_cast<unsigned char>(t[i + 1]))) ++i;
            break;
          default:
            a.error = std::string("unknown option -") + c;
        }
      }
      continue;
    }
    if (t[0] == '@' && t.size() > 1) {
      a.lists.push_back(t.substr(1));
      continue;
    }
    if (a.archive.empty()) a.archive = t;
    else a.specs.push_back(t);
  }
  if (!a.actionGiven && !a.move && (a.archiveComment || a.fileComments)) a.action = ZipAction::kCommentsOnly;
  if (a.move && a.action == ZipAction::kDelete) a.error = "-m cannot be combined with -d";
  if (a.archive.empty() && a.error.empty()) a.error = "no zip file given";
  return a;
}

UnzipArgs ParseUnzipArgs(const std::vector<std::string>& tokens) {
  UnzipArgs a;
  for (const std::string& t : tokens) {
    if (t.size() >= 2 && t[0] == '-') {
      for (size_t i = 1; i < t.size(); ++i) {
        char c = t[i];
        if (IsDosOnly(c)) continue;
        switch (tolower(static_cast<unsigned char>(c))) {
          case 't': a.test = true; break;
          case 'v': a.view = true; while (i + 1 < t.size() && isalpha(static_cast<unsigned char>(t[i + 1]))) ++i; break;
          case 'd': a.paths = true; break;
          case 'o': a.overwrite = true; break;
          case 'n': a.newer = true; break;
          case 'f': a.freshen = true; break;
          case 'q': a.quiet = true; break;
          case '$': a.label = true; while (i + 1 < t.size() && isalpha(static_cast<unsigned char>(t[i + 1]))) ++i; break;
          case 'e':
            while (i + 1 < t.size() && strchr("cdenpsrCDENPSR", t[i + 1])) {
              char k = static_cast<char>(tolower(static_cast<unsigned char>(t[++i])));
              if (k == 'r') a.reverse = true;
              else a.order += k;
            }
            break;
          case 's':
            a.password = true;
            a.passwordText = t.substr(i + 1);
            i = t.size();
            break;
          case 'x':
            if (i + 1 < t.size()) a.excludes.push_back(t.substr(i + 1));
            i = t.size();
            break;
          case 'c': case 'p': case 'j':
            // console and printer output are not offered; attribute masks are accepted
            if (tolower(static_cast<unsigned char>(c)) != 'j') a.error = std::string("option -") + c + " is not supported";
            while (i + 1 < t.size() && isalpha(static_cast<unsigned char>(t[i + 1]))) ++i;
            break;
          default:
            a.error = std::string("unknown option -") + c;
        }
      }
      continue;
    }
    if (t[0] == '@' && t.size() > 1) {
      a.lists.push_back(t.substr(1));
      continue;
    }
    if (a.archive.empty()) {
      a.archive = t;
      continue;
    }
    char last = t.back();
    if (last == '\\' || last == '/' || (t.size() == 2 && t[1] == ':')) {
      a.dest = t;
      continue;
    }
    a.specs.push_back(t);
  }
  if (a.archive.empty() && a.error.empty()) a.error = "no zip file given";
  return a;
}

}  // namespace qlzip
