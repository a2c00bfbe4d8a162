// kalvex-batch: runs the interior ballistic model on the input values of a report file.

#include "batch/BatchRun.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kalvex::batch::batchMain(args, std::cout, std::cerr);
}
