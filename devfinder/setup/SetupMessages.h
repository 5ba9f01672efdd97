#pragma once
// What the user is told when a port, a queue or a deletion is refused, and
// what to do about it, and the question asked before waiting jobs are
// thrown away. The texts are composed here so they can be read in tests.

#include <cstdint>
#include <string>

#include "PrinterSetup.h"

std::string CreateRefusalText(const CreateResult& result, const std::string& portName,
                              const std::string& printerName);
std::string DeleteRefusalText(const DeleteResult& result, const std::string& printerName);
std::string PurgeQuestion(const std::string& printerName, std::uint32_t jobs);
