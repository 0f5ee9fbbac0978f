#include "plugin/host/scene_objects.h"

// The in-memory host owns every evaluated object, so a state only refers
// to it.
ObjectState::ObjectState() : obj(nullptr) {}
ObjectState::ObjectState(SceneObject* object) : obj(object) {}
ObjectState::ObjectState(const ObjectState& other) : obj(other.obj) {}
ObjectState& ObjectState::operator=(const ObjectState& other) {
  obj = other.obj;
  return *this;
}
ObjectState::~ObjectState() { obj = nullptr; }
