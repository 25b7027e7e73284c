#include "physics/Collision.h"

// Placeholder until the collision primitives land.
void runCollisionSelfTests() {}
