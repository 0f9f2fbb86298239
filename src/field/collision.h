#pragma once
// Ball-player contacts: the two exchange their velocities, once per contact.
struct Body;

void contact_matrix_clear();
// True when self exchanged velocities with another body.
bool body_collide(Body* self);
