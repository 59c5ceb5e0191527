#include "SensorTable.h"

#include "KSDK.h"

namespace plexa::bridge2 {

SensorTable::Slots& SensorTable::slots() {
    static Slots* const table = new Slots();
    return *table;
}

KSDK* SensorAccess::install(std::unique_ptr<KSDK> session) {
    KSDK* installed = session.get();
    KSDK* replaced = access_.exchange(std::move(session));
    if (replaced != nullptr) {
        replaced->Nui_StopReplaced();
        access_.retire(replaced);
    }
    return installed;
}

}  // namespace plexa::bridge2
