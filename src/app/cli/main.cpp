#include "app/cli/CarTool.h"
#include "carscript/FileSystem.h"

#include <iostream>

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = quendral::runCarTool(arguments, std::cout, std::cerr, quendral::FileSystem::real());
    std::cout.flush();
    return status;
}
