// Keeps the layers of src/ standing. Reads the #include lines of every .h and .cpp under the
// folder given and fails, naming each offending line, when
//   - folders include each other, directly or round a circle;
//   - a logic file includes a window file or a header of Qt Widgets, Charts or PrintSupport;
//   - store/ includes anything but store/ and platform/, or platform/ anything but platform/.
// A folder is the directory a file lies in (reports/journal and ui/print are folders of their
// own). Usage: check_layers SOURCE_FOLDER [QT_WINDOW_HEADER_FOLDER...]; the header folders let
// a bare <QWidget> be known as a Widgets header.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using std::string;

namespace {

// Window files whose place and name do not say so (the rest: ui/, platform/widgets/, *Form),
// each without its extension, for its .h and .cpp. src/CMakeLists.txt lists the same files:
// they lay out reports and search results on printed pages (ui/print).
const std::set<string> kOtherWindows = {"reports/journal/document", "reports/period/document",
                                        "reports/statements/document", "search/document",
                                        "reconcile/document"};

struct Include {
  string file;    // the including file, relative to the root
  string where;   // "file:line: #include ..."
  string target;  // the included file of the tree, relative to the root; else empty
  string angled;  // the name between < >; else empty
};

bool within(const string& path, const string& folder) {
  return path == folder || path.starts_with(folder + "/");
}

string folderOf(const string& path) {
  const auto slash = path.rfind('/');
  return slash == string::npos ? string(".") : path.substr(0, slash);
}

bool isWindowFile(const string& path) {
  const string stem = path.substr(0, path.rfind('.'));
  return within(path, "ui") || within(path, "platform/widgets") || stem.ends_with("Form") ||
         kOtherWindows.contains(stem);
}

bool isWindowHeader(const string& name, const std::vector<fs::path>& headerFolders) {
  for (const string module : {"QtWidgets", "QtCharts", "QtPrintSupport"})
    if (within(name, module)) return true;
  for (const fs::path& folder : headerFolders)
    if (fs::is_regular_file(folder / name)) return true;
  return false;
}

bool inPlatformLogic(const string& folder) {
  return within(folder, "platform") && !within(folder, "platform/widgets");
}

// Why `from` (a folder of store/ or platform/) may not include `to`; empty when it may.
string reachesUp(const string& from, const string& to) {
  if (within(from, "store") && !within(to, "store") && !inPlatformLogic(to))
    return "store/ includes only store/ and platform/";
  if (inPlatformLogic(from) && !inPlatformLogic(to)) return "platform/ includes only platform/";
  return {};
}

std::vector<Include> readIncludes(const fs::path& root) {
  std::set<fs::path> files;  // sorted: the same report on every machine
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file() &&
        (entry.path().extension() == ".h" || entry.path().extension() == ".cpp"))
      files.insert(entry.path());
  const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> includes;
  for (const fs::path& path : files) {
    const string file = path.lexically_relative(root).generic_string();
    std::ifstream in(path);
    string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch match;
      if (!std::regex_search(line, match, includeLine)) continue;
      if (line.ends_with('\r')) line.pop_back();
      Include include{file, file + ":" + std::to_string(number) + ": " + line, {}, {}};
      if (match[1] == "<") include.angled = match[2];
      // As the compiler looks: beside the including file first, then from the root.
      for (const fs::path& base : {path.parent_path(), root}) {
        const fs::path candidate = (base / match[2].str()).lexically_normal();
        const string relative = candidate.lexically_relative(root).generic_string();
        if (match[1] == "\"" && !relative.starts_with("..") && fs::is_regular_file(candidate)) {
          include.target = relative;
          break;
        }
      }
      includes.push_back(std::move(include));
    }
  }
  return includes;
}

// Folders that include each other, directly or round a circle: every include from one folder
// to another that reaches back to it.
std::vector<string> circles(const std::vector<Include>& includes) {
  std::map<string, std::set<string>> next;
  for (const Include& include : includes)
    if (!include.target.empty()) next[folderOf(include.file)].insert(folderOf(include.target));
  const auto reaches = [&](const string& from, const string& to) {
    std::set<string> seen{from};
    for (std::vector<string> todo{from}; !todo.empty();) {
      const string folder = todo.back();
      todo.pop_back();
      for (const string& step : next[folder]) {
        if (step == to) return true;
        if (seen.insert(step).second) todo.push_back(step);
      }
    }
    return false;
  };
  std::vector<string> reports;
  for (const Include& include : includes) {
    const string from = folderOf(include.file), to = folderOf(include.target);
    if (!include.target.empty() && from != to && reaches(to, from))
      reports.push_back("folders in a circle (" + to + " reaches back to " + from + "):\n    " +
                        include.where);
  }
  return reports;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || !fs::is_directory(argv[1])) {
    std::cerr << "usage: check_layers SOURCE_FOLDER [QT_WINDOW_HEADER_FOLDER...]\n";
    return 2;
  }
  const fs::path root = fs::path(argv[1]).lexically_normal();
  const std::vector<Include> includes = readIncludes(root);
  const std::vector<fs::path> headerFolders(argv + 2, argv + argc);
  std::vector<string> violations = circles(includes);
  for (const Include& include : includes) {
    const bool logic = !isWindowFile(include.file);
    if (logic && !include.angled.empty() && isWindowHeader(include.angled, headerFolders))
      violations.push_back("a logic file includes a Qt window header:\n    " + include.where);
    if (include.target.empty()) continue;
    if (logic && isWindowFile(include.target))
      violations.push_back("a logic file includes a window file:\n    " + include.where);
    const string why = reachesUp(folderOf(include.file), folderOf(include.target));
    if (!why.empty()) violations.push_back(why + ":\n    " + include.where);
  }
  for (const string& violation : violations) std::cout << violation << "\n";
  std::cout << (violations.empty() ? "The layers stand; include lines read: "
                                   : "layering violations: ")
            << (violations.empty() ? includes.size() : violations.size()) << " in "
            << root.generic_string() << "\n";
  return violations.empty() ? 0 : 1;
}
