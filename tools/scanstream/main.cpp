#include <cstdio>

#include "ScanStreamCommand.h"

int main(int argc, char** argv)
{
    return scanstream::runScanStream(argc, argv, stderr);
}
