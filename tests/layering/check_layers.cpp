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

namespace {

// Window files whose place and name do not say so (the rest: ui/, platform/widgets/, *Form),
// each without its extension, for its .h and .cpp. src/CMakeLists.txt lists the same files.
const std::set<std::string> kOtherWindows = {
    "reports/journal/document",     // lays out the journal on printed pages (ui/print)
    "reports/period/document",      // the period's printed pages, with its Qt Charts pictures
    "reports/statements/document",  // lays out the statements on printed pages (ui/print)
    "search/document",              // lays out the search results on printed pages (ui/print)
    "reconcile/document",           // a finished reconciliation on printed pages (ui/print)
};

struct Include {
  std::string file;    // the including file, relative to the root
  std::string where;   // "file:line: #include ..."
  std::string target;  // the included file of the tree, relative to the root; else empty
  std::string angled;  // the name between < >; else empty
};

bool within(const std::string& path, const std::string& folder) {
  return path == folder || path.starts_with(folder + "/");
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool isWindowFile(const std::string& path) {
  const std::string stem = path.substr(0, path.rfind('.'));
  return within(path, "ui") || within(path, "platform/widgets") || stem.ends_with("Form") ||
         kOtherWindows.contains(stem);
}

bool isWindowHeader(const std::string& name, const std::vector<fs::path>& headerFolders) {
  for (const std::string module : {"QtWidgets", "QtCharts", "QtPrintSupport"}) {
    if (within(name, module)) return true;
  }
  for (const fs::path& folder : headerFolders) {
    if (fs::is_regular_file(folder / name)) return true;
  }
  return false;
}

bool inPlatformLogic(const std::string& folder) {
  return within(folder, "platform") && !within(folder, "platform/widgets");
}

// Why `from` (a folder of store/ or platform/) may not include `to`; empty when it may.
std::string reachesUp(const std::string& from, const std::string& to) {
  if (within(from, "store") && !within(to, "store") && !inPlatformLogic(to))
    return "store/ includes only store/ and platform/";
  if (inPlatformLogic(from) && !inPlatformLogic(to)) return "platform/ includes only platform/";
  return {};
}

std::vector<Include> readIncludes(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto extension = entry.path().extension();
    if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // the same report on every machine
  const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> includes;
  for (const fs::path& path : files) {
    const std::string file = path.lexically_relative(root).generic_string();
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch match;
      if (!std::regex_search(line, match, includeLine)) continue;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Include include{file, file + ":" + std::to_string(number) + ": " + line, {}, {}};
      if (match[1] == "<") {
        include.angled = match[2];
      } else {
        // As the compiler looks: beside the including file first, then from the root.
        for (const fs::path& base : {path.parent_path(), root}) {
          const fs::path candidate = (base / match[2].str()).lexically_normal();
          const std::string relative = candidate.lexically_relative(root).generic_string();
          if (!relative.starts_with("..") && fs::is_regular_file(candidate)) {
            include.target = relative;
            break;
          }
        }
      }
      includes.push_back(std::move(include));
    }
  }
  return includes;
}

// Folders that include each other, directly or round a circle: each group of folders that all
// reach one another, with one include for every edge inside it.
std::vector<std::string> circles(const std::vector<Include>& includes) {
  std::map<std::pair<std::string, std::string>, std::string> edges;  // first include per edge
  std::map<std::string, std::set<std::string>> next;
  for (const Include& include : includes) {
    if (include.target.empty()) continue;
    const std::string from = folderOf(include.file), to = folderOf(include.target);
    if (from == to) continue;
    edges.try_emplace({from, to}, include.where);
    next[from].insert(to);
  }
  std::map<std::string, std::set<std::string>> reach;
  for (const auto& [start, unused] : next) {
    std::vector<std::string> todo{start};
    std::set<std::string>& seen = reach[start];
    while (!todo.empty()) {
      const std::string folder = todo.back();
      todo.pop_back();
      for (const std::string& to : next[folder]) {
        if (seen.insert(to).second) todo.push_back(to);
      }
    }
  }
  std::vector<std::string> reports;
  std::set<std::string> reported;
  for (const auto& [start, reached] : reach) {
    if (!reached.contains(start) || reported.contains(start)) continue;
    std::set<std::string> group;
    for (const std::string& folder : reached) {
      if (reach[folder].contains(start)) group.insert(folder);
    }
    std::string report = "folders in a circle:";
    for (const std::string& folder : group) report += " " + folder;
    for (const auto& [edge, where] : edges) {
      if (group.contains(edge.first) && group.contains(edge.second))
        report += "\n    " + edge.first + " -> " + edge.second + "   " + where;
    }
    reported.insert(group.begin(), group.end());
    reports.push_back(report);
  }
  return reports;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || !fs::is_directory(argv[1])) {
    std::cerr << "usage: check_layers SOURCE_FOLDER [QT_WINDOW_HEADER_FOLDER...]\n"
              << (argc < 2 ? "" : "not a folder: " + std::string(argv[1]) + "\n");
    return 2;
  }
  const fs::path root = fs::path(argv[1]).lexically_normal();
  const std::vector<fs::path> headerFolders(argv + 2, argv + argc);
  const std::vector<Include> includes = readIncludes(root);

  std::vector<std::string> violations = circles(includes);
  for (const Include& include : includes) {
    if (!isWindowFile(include.file)) {
      if (!include.target.empty() && isWindowFile(include.target))
        violations.push_back("a logic file includes a window file:\n    " + include.where);
      if (!include.angled.empty() && isWindowHeader(include.angled, headerFolders))
        violations.push_back("a logic file includes a Qt window header:\n    " + include.where);
    }
    if (include.target.empty()) continue;
    const std::string why = reachesUp(folderOf(include.file), folderOf(include.target));
    if (!why.empty()) violations.push_back(why + ":\n    " + include.where);
  }

  for (const std::string& violation : violations) std::cout << violation << "\n";
  if (!violations.empty()) {
    std::cout << violations.size() << " layering violation(s) in " << root.generic_string() << "\n";
    return 1;
  }
  std::cout << "The layers stand: " << includes.size() << " include lines read in "
            << root.generic_string() << "\n";
  return 0;
}
