// The members both array types share, for numbers and for strings.
#include "expr/array_object.h"

#include <stdexcept>
#include <type_traits>

#include "core/messages.h"
#include "core/program.h"
#include "expr/num_array.h"
#include "expr/operators.h"
#include "expr/string_array.h"
#include "expr/value_limits.h"

namespace tallow {

namespace {

// The bytes of text elements beyond the element itself.
size_t TextBytes(const std::string& s) {
    return s.size();
}
size_t TextBytes(double) {
    return 0;
}

// The value a member reads for an element: a number or a string.
template <class T>
T ReadElementValue(Evaluator& ev) {
    if constexpr (std::is_same_v<T, double>)
        return ev.EvalNum();
    else
        return ev.EvalString();
}

}  // namespace

template <class T>
T& ArrayObject<T>::Element(int index) {
    if (index < 1 || size_t(index) > items.size()) program_.ReportError(kRuntimeKind, msg::kIndexOutOfBounds);
    return items[size_t(index - 1)];
}

template <class T>
void ArrayObject<T>::CheckRoom(size_t added, size_t bytes) {
    CheckGrowth(items.size(), added, kMaxArrayElements);
    if ((items.size() + added) * sizeof(T) > kMaxArrayBytes) throw std::length_error("array too large");
    program_.ChargeMemory(added * sizeof(T) + bytes);
}

template <class T>
void ArrayObject<T>::SetSize(int size) {
    size_t n = size < 0 ? 0 : size_t(size);
    if (n > items.size()) CheckRoom(n - items.size());
    items.resize(n);
}

// add = "add" expr
template <class T>
void ArrayObject<T>::Add() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    CheckRoom(1);
    items.push_back(ReadElementValue<T>(ev));
}

template <class T>
void ArrayObject<T>::AppendNamed(bool required) {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string name = ev.ReadName();
    ArrayObject<T>* source;
    if constexpr (std::is_same_v<T, double>)
        source = program_.FindNumArray(name);
    else
        source = program_.FindStringArray(name);
    if (!source) {
        if (required) program_.ReportError(kRuntimeKind, msg::kArrayNotFound);
        return;
    }
    size_t bytes = 0;
    for (const T& item : source->items)
        bytes += TextBytes(item);
    CheckRoom(source->items.size(), bytes);
    std::vector<T> copy(source->items);
    items.insert(items.end(), copy.begin(), copy.end());
}

// addarray = "addarray" word
template <class T>
void ArrayObject<T>::AddArray() {
    AppendNamed(true);
}

// concat = "concat" word
template <class T>
void ArrayObject<T>::Concat() {
    AppendNamed(false);
}

// insert = "insert" expr "," numexpr: the value becomes element index.
template <class T>
void ArrayObject<T>::Insert() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    T value = ReadElementValue<T>(ev);
    ev.HasNextParam(true);
    int index = ToInt32(ev.EvalNum());
    Element(index);
    CheckRoom(1);
    items.insert(items.begin() + (index - 1), std::move(value));
}

// delete = "delete" numexpr
template <class T>
void ArrayObject<T>::Delete() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    int index = ToInt32(ev.EvalNum());
    Element(index);
    items.erase(items.begin() + (index - 1));
}

// clear = "clear"
template <class T>
void ArrayObject<T>::Clear() {
    items.clear();
}

// setsize = "setsize" numexpr
template <class T>
void ArrayObject<T>::SetSizeMember() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    SetSize(ToInt32(ev.EvalNum()));
}

// getsize = "getsize(" ")"
template <class T>
double ArrayObject<T>::GetSize() {
    return double(items.size());
}

template <class T>
void ArrayObject<T>::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, "count")) return SetSize(ToInt32(value));
    ScriptObject::SetNumMember(name, value);
}

template <class T>
double ArrayObject<T>::GetNumMember(std::string_view name) {
    if (NamesEqual(name, "count")) return double(items.size());
    return ScriptObject::GetNumMember(name);
}

template class ArrayObject<double>;
template class ArrayObject<std::string>;

}  // namespace tallow
