// A non-owning reference to something callable: screens hand the correction-screen engine
// their hooks as lambdas without the allocation that std::function may make.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace zelk {

template <typename Signature>
class FunctionRef;

template <typename Result, typename... Args>
class FunctionRef<Result(Args...)> {
public:
    FunctionRef() = default;

    template <typename Callable>
        requires(!std::is_same_v<std::remove_cvref_t<Callable>, FunctionRef> &&
                 std::is_invocable_r_v<Result, Callable&, Args...>)
    FunctionRef(Callable&& callable)  // NOLINT: implicit on purpose, like a function pointer
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(callable)))),
          call_([](void* object, Args... args) -> Result {
              return (*static_cast<std::remove_reference_t<Callable>*>(object))(std::forward<Args>(args)...);
          }) {}

    explicit operator bool() const { return call_ != nullptr; }
    Result operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
    void* object_ = nullptr;
    Result (*call_)(void*, Args...) = nullptr;
};

}  // namespace zelk
