#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quendral {

class FileSystem;

// The command-line tool: lists a racers folder, shows a car's settings and
// saves changed settings into one or more cars, each exactly as the editor
// would; checks cars for what would keep them from being saved, and exports
// and imports a racers folder's settings as a table. `arguments` excludes
// the program name; `in` is standard input, which `import` may read a table
// from. Returns the exit status.
int runCarTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
               FileSystem& fileSystem);
// The same with nothing on standard input.
int runCarTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               FileSystem& fileSystem);

} // namespace quendral
