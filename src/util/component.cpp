#include "util/component.h"

#include <algorithm>

namespace YVclCtrl {

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (m_owner)
        m_owner->insertComponent(this);
}

TComponent::~TComponent() {
    // Newest first, as a form tears down what it created; each child unlinks itself.
    while (!m_components.empty())
        delete m_components.back();
    if (m_owner)
        m_owner->removeComponent(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        return nullptr;
    return m_components[static_cast<size_t>(index)];
}

void TComponent::insertComponent(TComponent* child) {
    m_components.push_back(child);
}

void TComponent::removeComponent(TComponent* child) {
    auto it = std::find(m_components.begin(), m_components.end(), child);
    if (it != m_components.end())
        m_components.erase(it);
}

} // namespace YVclCtrl
