#pragma once
// Player control: each held key pushes the velocity once per frame, within a speed limit.
struct Body;

void body_steer(Body* body);
