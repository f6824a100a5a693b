// What the two array types share, written once over the element type: the
// elements, their index checks and sizing, the members add, addarray,
// insert, delete, clear, setsize, concat and getsize, and the count
// property. "stringarray" and "numarray" add their own members on top.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "expr/member_table.h"
#include "expr/script_object.h"

namespace tallow {

template <class T>
class ArrayObject : public ScriptObject {
public:
    ArrayObject(Program& program, std::string name) : ScriptObject(program, std::move(name)) {}

    // count is a property: reading it gives the size, writing it sets it.
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
    size_t MemoryInUse() const override { return ScriptObject::MemoryInUse() + items.capacity() * sizeof(T); }

    // Element index (1-based); "array index out of bounds" (kind 1) outside.
    T& Element(int index);
    // A negative size empties the array.
    void SetSize(int size);

    // The members of the shared table, one per id; each reads its own
    // parameters.
    void Add();
    void AddArray();
    void Insert();
    void Delete();
    void Clear();
    void SetSizeMember();  // setsize
    void Concat();
    double GetSize();

    std::vector<T> items;

protected:
    // Room for added more elements, within the engine's largest array and
    // the program's memory budget (bytes more besides the elements).
    void CheckRoom(size_t added, size_t bytes = 0);

private:
    // addarray and concat: appends a copy of the array of this type named
    // next, as it is now (so an array appended to itself doubles once); when
    // there is none, "Array not found!" (kind 1) if required, else nothing.
    void AppendNamed(bool required);
};

extern template class ArrayObject<double>;
extern template class ArrayObject<std::string>;

// The shared members, ids 1 to 7 of the statements and 1 of the number
// functions; each type's table starts with them.
template <class T>
constexpr std::array<StatementMember, 7> kArrayStatements = {{
    {"add", 1, Call<&ArrayObject<T>::Add>},
    {"addarray", 2, Call<&ArrayObject<T>::AddArray>},
    {"insert", 3, Call<&ArrayObject<T>::Insert>},
    {"delete", 4, Call<&ArrayObject<T>::Delete>},
    {"clear", 5, Call<&ArrayObject<T>::Clear>},
    {"setsize", 6, Call<&ArrayObject<T>::SetSizeMember>},
    {"concat", 7, Call<&ArrayObject<T>::Concat>},
}};
template <class T>
constexpr std::array<NumFunctionMember, 1> kArrayNumFunctions = {{
    {"getsize", 1, Call<&ArrayObject<T>::GetSize>},
}};

}  // namespace tallow
