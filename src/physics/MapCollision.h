#pragma once

#include "physics/PhysicsBody.h"

#include <cstdio>

class Map;

// Replays the step from lastPosition to position through the map's solid blocks,
// the vertical pass before the horizontal one, in sub-steps when the body moved
// further than the least of its radius, half height and 0.5. Writes a trace of the
// step to trace (the process's standard output unless a caller wants it elsewhere).
void collideWithMap(UprightCylinderCollider& collider, const Map& map, std::FILE* trace = stdout);

// One pass: pushes the collider out of the blocks it overlaps by their averaged
// contact, and keeps only the motion since reference that runs along the contact.
void resolveContacts(UprightCylinderCollider& collider, const Map& map, Vector3 reference);
