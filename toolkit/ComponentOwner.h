// Something that owns the components it makes (a form, a frame): they live
// as long as their owner and go in the reverse order of their making, so
// children go before their parents.
#pragma once

#include "toolkit/Control.h"

#include <memory>
#include <utility>
#include <vector>

namespace cv {

class TComponentOwner {
public:
    TComponentOwner() = default;
    ~TComponentOwner() { DestroyComponents(); }
    TComponentOwner(const TComponentOwner&) = delete;
    TComponentOwner& operator=(const TComponentOwner&) = delete;

    template <class T, class... A> T& Make(A&&... args) {
        auto component = std::make_unique<T>(std::forward<A>(args)...);
        T& made = *component;
        FComponents.push_back(std::move(component));
        return made;
    }
    // The components in the order they were made.
    const std::vector<std::unique_ptr<TControl>>& Components() const { return FComponents; }

protected:
    void DestroyComponents() {
        while (!FComponents.empty()) {
            FComponents.pop_back();
        }
    }

private:
    std::vector<std::unique_ptr<TControl>> FComponents;
};

} // namespace cv
