#pragma once

// The port library's doubly linked list of values (pointers, as the socket
// class keeps its packets), with a cursor for walking it.

#include "fjcomm/FJCommExport.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace Fjarnis2011 {
namespace FJComm {

// Reading the head or tail of an empty list, or moving a cursor that is not
// set (or past either end), is outside the contract: the process stops there
// naming what was missing, instead of reading through a null node.
[[noreturn]] inline void CTListMisuse(const char* what) {
    std::fprintf(stderr, "CTList: no %s\n", what);
    std::abort();
}

template <typename T>
class FJCOMM_API CTList {
public:
    CTList() = default;
    CTList(const CTList& other) { CopyFrom(other); }
    CTList& operator=(const CTList& other) {
        if (this == &other || head_ == other.head_) return *this;
        Clear();
        CopyFrom(other);
        return *this;
    }
    ~CTList() { Clear(); }

    // Frees every node, not the values.
    void Clear() {
        Node* n = head_;
        while (n) {
            Node* next = n->next;
            delete n;
            n = next;
        }
        head_ = tail_ = removing_ = cursor_ = nullptr;
        count_ = 0;
    }

    // Deletes every value (a value held more than once is deleted once) and
    // frees its node.
    void ClearData() {
        std::unordered_set<T> deleted;
        for (Node* n = head_; n; n = n->next)
            if (deleted.insert(n->value).second) delete n->value;
        Clear();
    }

    T& GetHead() {
        if (!head_) CTListMisuse("head");
        cursor_ = head_;
        return cursor_->value;
    }
    T& GetTail() {
        if (!tail_) CTListMisuse("tail");
        cursor_ = tail_;
        return cursor_->value;
    }
    T& GetNext() {
        if (!cursor_ || !cursor_->next) CTListMisuse("pos");
        cursor_ = cursor_->next;
        return cursor_->value;
    }
    T& GetPrev() {
        if (!cursor_ || !cursor_->prev) CTListMisuse("pos");
        cursor_ = cursor_->prev;
        return cursor_->value;
    }
    // The cursor has no previous (next) node; true when it is not set.
    bool IsFirst() const { return !cursor_ || !cursor_->prev; }
    bool IsLast() const { return !cursor_ || !cursor_->next; }

    void AddHead(const T& value) {
        Node* n = new Node{value, nullptr, head_};
        if (head_) head_->prev = n;
        else tail_ = n;
        head_ = n;
        ++count_;
    }
    void AddTail(const T& value) {
        Node* n = new Node{value, tail_, nullptr};
        if (tail_) tail_->next = n;
        else head_ = n;
        tail_ = n;
        ++count_;
    }

    T RemoveHead() {
        if (!head_) CTListMisuse("head");
        return Unlink(head_);
    }
    T RemoveTail() {
        if (!tail_) CTListMisuse("tail");
        return Unlink(tail_);
    }

    // Unlinks and frees every node holding the value.
    void Remove(const T& value) {
        removing_ = head_;
        while (removing_) {
            Node* next = removing_->next;
            if (removing_->value == value) Unlink(removing_);
            removing_ = next;
        }
    }
    // The same, and deletes the value (once, however often it was held).
    void RemoveData(const T& value) {
        bool held = false;
        removing_ = head_;
        while (removing_) {
            Node* next = removing_->next;
            if (removing_->value == value) {
                Unlink(removing_);
                held = true;
            }
            removing_ = next;
        }
        if (held) delete value;
    }

    bool IsEmpty() const { return count_ == 0; }
    unsigned GetNumEntries() const { return count_; }

private:
    struct Node {
        T value;
        Node* prev;
        Node* next;
    };

    void CopyFrom(const CTList& other) {
        for (Node* n = other.head_; n; n = n->next) AddTail(n->value);
    }

    T Unlink(Node* n) {
        if (n->prev) n->prev->next = n->next;
        else head_ = n->next;
        if (n->next) n->next->prev = n->prev;
        else tail_ = n->prev;
        if (cursor_ == n) cursor_ = nullptr;  // a removed node is no place to stand on
        T value = n->value;
        delete n;
        --count_;
        return value;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    Node* removing_ = nullptr;
    Node* cursor_ = nullptr;
    unsigned count_ = 0;
};

}  // namespace FJComm
}  // namespace Fjarnis2011
