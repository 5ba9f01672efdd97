#pragma once
// Recording fakes of bitmap building's platform and an imaging library
// whose calls can be made to fail.
#include "BitmapBuilding.h"

#include <filesystem>
#include <string>
#include <vector>

struct RecordedWarning {
    unsigned stringId;
    bool shown;
    int resultCode;  // plain warnings only
    int line;        // plain warnings only, else 0
    std::string source;
};

class FakeBitmapPlatform : public BitmapPlatform {
public:
    bool newTemporaryFileName(std::string& path) override
    {
        if (temporaryFolder.empty())
            return false;
        path = temporaryFolder + "/tmp" + std::to_string(++filesNamed) + ".tmp";
        namedFiles.push_back(path);
        return true;
    }
    bool moduleLoaded(const char* name) override { return msoLoaded && std::string(name) == "MSO.DLL"; }
    void showWarning(unsigned stringId, bool show) override { warnings.push_back({stringId, show, 0, 0, ""}); }
    void showPlainWarning(unsigned stringId, int resultCode, int line, const char* sourceName) override
    {
        warnings.push_back({stringId, true, resultCode, line, sourceName});
    }

    std::string temporaryFolder;  // empty: no temporary file can be had
    bool msoLoaded = false;
    int filesNamed = 0;
    std::vector<std::string> namedFiles;
    std::vector<RecordedWarning> warnings;
};

// The in-process library with a result to force per ordinal and a log of calls.
class ScriptedImagingLibrary : public InProcessImagingLibrary {
public:
    explicit ScriptedImagingLibrary(MemoryBlocks& memory) : InProcessImagingLibrary(memory) {}
    int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t size, void* dib) override
    {
        calls.push_back(104);
        return fail104 ? fail104 : InProcessImagingLibrary::bitmapFromDib(bitmap, size, dib);
    }
    void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) override
    {
        calls.push_back(106);
        void* dib = InProcessImagingLibrary::dibFromBitmap(bitmap, flags);
        if (fail106 && dib) {
            releasedFor106.push_back(dib);
            return nullptr;
        }
        return dib;
    }
    int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags) override
    {
        calls.push_back(151);
        resizedTo = {width, height};
        return fail151 ? fail151 : InProcessImagingLibrary::resize(bitmap, width, height, flags);
    }
    int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap) override
    {
        calls.push_back(124);
        return fail124 ? fail124 : InProcessImagingLibrary::prepareMemoryTransfer(bitmap);
    }

    int32_t fail104 = 0, fail124 = 0, fail151 = 0;
    bool fail106 = false;
    std::vector<int> calls;
    std::vector<int> resizedTo;
    std::vector<void*> releasedFor106;  // DIBs the failing 106 made; the test frees them
};
