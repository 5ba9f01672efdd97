#include <cstdio>

#include "ImageFileCommand.h"

int main(int argc, char** argv)
{
    return imagefile::runImageFile(argc, argv, stdout, stderr);
}
