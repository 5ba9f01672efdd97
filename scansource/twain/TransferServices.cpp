#include "TransferServices.h"

#include "SourceContext.h"

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

int scanWhileBusy(TransferServices& services, int dibOrder, int forMemoryTransfer, TW_HANDLE* dib)
{
    BusyScope busy;
    return services.scanImage(dibOrder, forMemoryTransfer, dib);
}
