#version 330 core

// The projectile pool drawn as points: every record of the pool is one
// vertex, free records (active not positive) are moved out of view. Shots fly
// one unit above the floor, where the hit tests are made.
layout(location = 0) in vec2 a_position;
layout(location = 1) in float a_active;
layout(location = 2) in vec3 a_color;

uniform mat4 u_world_matrix;
uniform mat4 u_view_matrix;
uniform mat4 u_projection_matrix;

const float FLIGHT_HEIGHT = 1.0;
// Pixels across a shot seen from one world unit away.
const float SIZE_AT_UNIT_DISTANCE = 300.0;

out vec3 v_color;
out float v_alpha;

void main()
{
    if (a_active <= 0.0) {
        v_color = vec3(0.0);
        v_alpha = 0.0;
        gl_PointSize = 1.0;
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }
    vec4 eye = u_view_matrix * u_world_matrix * vec4(a_position, FLIGHT_HEIGHT, 1.0);
    v_color = a_color;
    v_alpha = 1.0;
    gl_PointSize = SIZE_AT_UNIT_DISTANCE / max(-eye.z, 0.1);
    gl_Position = u_projection_matrix * eye;
}
