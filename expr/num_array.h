// The "numarray" type: a script object holding a list of numbers, with
// element syntax name#[i], its members and the total and average properties.
#pragma once

#include <string>
#include <vector>

#include "script_object.h"

namespace tallow {

class NumArrayObject : public ScriptObject {
public:
    NumArrayObject(Program& program, std::string name);

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
    size_t MemoryInUse() const override {
        return ScriptObject::MemoryInUse() + items.capacity() * sizeof(double);
    }

    // Element index (1-based); "array index out of bounds" (kind 1) outside.
    double& Element(int index);
    // A negative size empties the array.
    void SetSize(int size);

    std::vector<double> items;
};

class NumArrayFactory : public ObjectFactory {
public:
    explicit NumArrayFactory(Program& program) : ObjectFactory(program, "numarray") {}
    ScriptObject* Create(const std::string& name) override;
};

}  // namespace tallow
