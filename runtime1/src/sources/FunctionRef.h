// A callable passed down a call, by reference: what std::function would be
// for a callback that never outlives the call that receives it, without
// std::function's allocation when the callable captures more than a pointer.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace plexa::virtual1 {

template <class Signature>
class FunctionRef;

template <class Result, class... Arguments>
class FunctionRef<Result(Arguments...)> {
public:
    template <class Callable, class = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, FunctionRef>>>
    FunctionRef(Callable&& callable)  // NOLINT(google-explicit-constructor): it stands for the callable
        : callable_(const_cast<void*>(static_cast<const void*>(std::addressof(callable)))),
          call_([](void* callable, Arguments... arguments) -> Result {
              return (*static_cast<std::remove_reference_t<Callable>*>(callable))(
                  std::forward<Arguments>(arguments)...);
          }) {}

    Result operator()(Arguments... arguments) const { return call_(callable_, std::forward<Arguments>(arguments)...); }

private:
    void* callable_;
    Result (*call_)(void*, Arguments...);
};

}  // namespace plexa::virtual1
