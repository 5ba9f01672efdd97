#include "TransferServices.h"

namespace {
TransferServices* current = nullptr;
}

void setTransferServices(TransferServices* services)
{
    current = services;
}

TransferServices& transferServices()
{
    return *current;
}
