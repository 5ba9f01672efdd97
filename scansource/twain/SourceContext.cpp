#include "SourceContext.h"

#include <string.h>

#include "ConditionTexts.h"

namespace {
SourceContext context;
}

SourceContext& sourceContext()
{
    return context;
}

void resetSourceContext()
{
    memset(&context, 0, sizeof context);
    context.state = StateLoaded;
    context.SourceIdentity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    context.SourceIdentity.ProtocolMinor = TWON_PROTOCOLMINOR;
    context.showUI = 1;
}

void beginSession(const TW_IDENTITY& application, TW_UINT32 sourceId)
{
    context.ConnectedApp = application;
    context.SourceIdentity.Id = sourceId;
    context.pendingConditionCode = TW_STATUS{TWCC_SUCCESS, 0};
    context.showUI = 1;
    context.parentWindow = nullptr;
    context.state = StateOpen;
}

void endSession()
{
    context.ConnectedApp.Id = 0;
    context.state = StateLoaded;
}

int sourceState()
{
    return context.state;
}

void setSourceState(int state)
{
    context.state = state;
}

void setConditionCode(TW_UINT16 conditionCode)
{
    context.pendingConditionCode.ConditionCode = conditionCode;
    context.pendingConditionCode.Reserved = 0;
}

bool sourceBusy()
{
    return context.busy > 0;
}

BusyScope::BusyScope()
{
    ++context.busy;
}

BusyScope::~BusyScope()
{
    --context.busy;
}

TW_UINT16 failOperation(const char* operationText, TW_UINT16 conditionCode)
{
    setConditionCode(conditionCode);
    if (operationText)
        TraceFailure(operationText, conditionCode);
    return TWRC_FAILURE;
}
