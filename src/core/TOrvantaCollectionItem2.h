#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class TSimpleFileStream;
class TOrvantaCollectionBase;

// Base of every stored record. Records never write or read anything by
// themselves here; each record class fixes its own field order.
class TOrvantaCollectionItem2 {
public:
    virtual ~TOrvantaCollectionItem2() = default;

    virtual bool IsEqualTo(const TOrvantaCollectionItem2 *other) const;
    virtual void SaveToStream(TSimpleFileStream *stream);
    virtual void LoadFromStream(TSimpleFileStream *stream);
};

// Owning ordered list seen without its item class, so the list reader can
// create items of whatever class the list holds.
class TOrvantaCollectionBase {
public:
    virtual ~TOrvantaCollectionBase() = default;

    virtual std::size_t Count() const = 0;
    virtual TOrvantaCollectionItem2 &ItemAt(std::size_t index) = 0;
    virtual const TOrvantaCollectionItem2 &ItemAt(std::size_t index) const = 0;
    // Appends a new item of the list's item class and returns it.
    virtual TOrvantaCollectionItem2 &AddNew() = 0;
    virtual void Clear() = 0;
    // Room for count items; the list reader calls it once it has checked
    // the count against the bytes left.
    virtual void Reserve(std::size_t count) = 0;
};

template <typename T>
class TOrvantaCollection : public TOrvantaCollectionBase {
public:
    TOrvantaCollection() = default;
    TOrvantaCollection(const TOrvantaCollection &other) { *this = other; }
    TOrvantaCollection &operator=(const TOrvantaCollection &other)
    {
        if (this != &other) {
            std::vector<std::unique_ptr<T>> copy;
            copy.reserve(other.items.size());
            for (const auto &item : other.items)
                copy.push_back(std::make_unique<T>(*item));
            items = std::move(copy);
        }
        return *this;
    }
    TOrvantaCollection(TOrvantaCollection &&) noexcept = default;
    TOrvantaCollection &operator=(TOrvantaCollection &&) noexcept = default;

    std::size_t Count() const override { return items.size(); }
    bool Empty() const { return items.empty(); }

    T &operator[](std::size_t index) { return *items.at(index); }
    const T &operator[](std::size_t index) const { return *items.at(index); }
    T &ItemAt(std::size_t index) override { return *items.at(index); }
    const T &ItemAt(std::size_t index) const override { return *items.at(index); }

    T &AddNew() override { return Add(std::make_unique<T>()); }
    T &Add(std::unique_ptr<T> item)
    {
        items.push_back(std::move(item));
        return *items.back();
    }
    void Clear() override { items.clear(); }
    void Reserve(std::size_t count) override { items.reserve(count); }

    // Removes the item at index and hands it to the caller.
    std::unique_ptr<T> Take(std::size_t index)
    {
        auto item = std::move(items.at(index));
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
        return item;
    }
    void Delete(std::size_t index) { Take(index); }

    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

private:
    std::vector<std::unique_ptr<T>> items;
};

// Owning ordered list that keeps its items by value in one block: for the
// small records a session holds many of (no heap object, no pointer per
// item). AddNew, Reserve and Delete may move the items, so nobody keeps a
// reference to one across them; a list whose items are pointed at from
// elsewhere is a TOrvantaCollection.
template <typename T>
class TOrvantaInlineCollection : public TOrvantaCollectionBase {
    // Growing moves the items; a throwing move would make it copy them.
    static_assert(std::is_nothrow_move_constructible_v<T>);

public:
    std::size_t Count() const override { return items.size(); }
    bool Empty() const { return items.empty(); }

    T &operator[](std::size_t index) { return items.at(index); }
    const T &operator[](std::size_t index) const { return items.at(index); }
    T &ItemAt(std::size_t index) override { return items.at(index); }
    const T &ItemAt(std::size_t index) const override { return items.at(index); }

    T &AddNew() override { return items.emplace_back(); }
    void Clear() override { items.clear(); }
    void Reserve(std::size_t count) override { items.reserve(count); }
    void Delete(std::size_t index) { items.erase(items.begin() + static_cast<std::ptrdiff_t>(index)); }

    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

private:
    std::vector<T> items;
};
