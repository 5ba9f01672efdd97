#include "FeederPrompt.h"

bool ensureFeederLoaded(bool feederEnabled, const std::function<int()>& queryFeederStatus,
                        const std::function<int()>& askToLoad)
{
    if (!feederEnabled)
        return true;
    int status;
    while ((status = queryFeederStatus()) == 1) {
        if (askToLoad() != 1)
            return false;
    }
    return status == 0;
}
