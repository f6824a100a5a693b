// The built-in service objects and creatable types that every program gets
// after its system object, made in a fixed order and destroyed in reverse.
#pragma once

#include <memory>
#include <vector>

#include "expr/script_object.h"

namespace tallow {

class ServiceObjects {
public:
    // Makes them all for program, in their order.
    explicit ServiceObjects(Program& program);
    // Objects go before the factories, the last made first.
    ~ServiceObjects();
    ServiceObjects(const ServiceObjects&) = delete;
    ServiceObjects& operator=(const ServiceObjects&) = delete;

private:
    template <class T>
    void Add(Program& program) {
        entries_.push_back(Entry{std::make_unique<T>(program), nullptr});
    }
    template <class T>
    void AddFactory(Program& program) {
        entries_.push_back(Entry{nullptr, std::make_unique<T>(program)});
    }

    struct Entry {
        std::unique_ptr<ScriptObject> object;
        std::unique_ptr<ObjectFactory> factory;
    };
    std::vector<Entry> entries_;
};

}  // namespace tallow
