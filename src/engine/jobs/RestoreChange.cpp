#include "engine/jobs/RestoreChange.h"

RestoreCounts CountChanges(const std::vector<RestoreChange>& changes) {
    RestoreCounts counts;
    for (const RestoreChange& change : changes) {
        switch (change.kind) {
        case RestoreChange::Kind::Replace:
            ++counts.replaced;
            break;
        case RestoreChange::Kind::Add:
            ++counts.added;
            break;
        case RestoreChange::Kind::Remove:
            ++counts.removed;
            break;
        }
        if (change.set)
            counts.bytes += change.set->size;
    }
    return counts;
}
