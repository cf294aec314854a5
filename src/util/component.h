#pragma once
// TComponent: the small component base the serial and field-bus components derive from.
//
// A component may have an owner; the owner destroys the components it owns, newest first,
// when it is destroyed itself. A component destroyed before its owner removes itself from
// the owner's list. `Loaded` is the hook a form loader calls once every published property
// has been assigned (see AssembleComponent). Single-threaded: create, configure and destroy
// components on the main loop's thread.

#include <string>
#include <vector>

namespace YVclCtrl {

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();

    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const;

    // True between BeginLoading and the end of Loaded: properties are being assigned as a
    // form would assign them.
    bool IsLoading() const { return m_loading; }
    void BeginLoading() { m_loading = true; }

    // Runs once all properties have been assigned. Overrides call the base first.
    virtual void Loaded() { m_loading = false; }

private:
    void insertComponent(TComponent* child);
    void removeComponent(TComponent* child);

    TComponent* m_owner = nullptr;
    std::string m_name;
    std::vector<TComponent*> m_components;
    bool m_loading = false;
};

// Plays the part of the form loader for a component built in code: marks it loading, runs
// `assign` (which sets its properties), then calls Loaded.
template <typename Component, typename Assign>
Component* AssembleComponent(Component* component, Assign&& assign) {
    component->BeginLoading();
    assign(*component);
    component->Loaded();
    return component;
}

} // namespace YVclCtrl
