#include "runtime/StageHook.h"

namespace {

StageHook& Hook() {
    static StageHook hook;
    return hook;
}

}  // namespace

void PassStage(const char* name) {
    if (Hook())
        Hook()(name);
}

StageHook SetStageHook(StageHook hook) {
    StageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
