#pragma once
#include "Seams.h"
#include <utility>

// Gives a seam (Seams.h) a value while it lives and puts the previous one back
// when it goes, also when a test fails or throws in between.
template <class Seam> class CSeamScope {
public:
    explicit CSeamScope(typename Seam::Value value) : m_previous(std::exchange(Seam::Slot(), std::move(value))) {}
    ~CSeamScope() { Seam::Slot() = std::move(m_previous); }
    CSeamScope(const CSeamScope&) = delete;
    CSeamScope& operator=(const CSeamScope&) = delete;

private:
    typename Seam::Value m_previous;
};
