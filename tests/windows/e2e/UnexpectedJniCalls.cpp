// Every slot of both function tables starts as a stub of its own that names
// the slot and aborts: a bridge that calls a JNI function the fake VM does
// not implement stops there, saying which, instead of running on garbage.
#include "FakeJvm.h"
#include "JniSlotNames.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace plexa::e2e {
namespace {

using Stub = void (*)();
static_assert(sizeof(Stub) == sizeof(void*), "a table slot holds a function pointer");
static_assert(sizeof(JNINativeInterface_) % sizeof(void*) == 0, "the env table is slots only");
static_assert(sizeof(JNIInvokeInterface_) % sizeof(void*) == 0, "the VM table is slots only");

constexpr std::size_t kNativeSlots = sizeof(JNINativeInterface_) / sizeof(void*);
constexpr std::size_t kInvokeSlots = sizeof(JNIInvokeInterface_) / sizeof(void*);

enum class Table { Native, Invoke };

[[noreturn]] void unexpectedCall(Table table, std::size_t slot) {
    const bool native = table == Table::Native;
    const char* const* names = native ? kNativeSlotNames : kInvokeSlotNames;
    const std::size_t named = native ? kNativeSlotNameCount : kInvokeSlotNameCount;
    const std::size_t slots = native ? kNativeSlots : kInvokeSlots;
    // The names come from the <jni.h> the build read; they count only when
    // they cover the table this program was compiled with.
    const char* name = named == slots ? names[slot] : "?";
    std::cerr << "unexpected JNI call: " << name << " (" << (native ? "JNIEnv" : "JavaVM") << " slot " << slot
              << ")" << std::endl;
    std::abort();
}

template <Table T, std::size_t Slot>
void stub() {
    unexpectedCall(T, Slot);
}

template <Table T, typename Tables, std::size_t... Slots>
void fill(Tables& table, std::index_sequence<Slots...>) {
    const Stub stubs[] = {&stub<T, Slots>...};
    static_assert(sizeof(stubs) == sizeof(Tables), "one stub per slot");
    std::memcpy(static_cast<void*>(&table), stubs, sizeof(stubs));
}

}  // namespace

void fillWithUnexpectedCalls(JNINativeInterface_& table) {
    fill<Table::Native>(table, std::make_index_sequence<kNativeSlots>());
}

void fillWithUnexpectedCalls(JNIInvokeInterface_& table) {
    fill<Table::Invoke>(table, std::make_index_sequence<kInvokeSlots>());
}

}  // namespace plexa::e2e
