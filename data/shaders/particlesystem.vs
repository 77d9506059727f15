#version 330 core

// One point per particle record. The CPU only ages the records; the place
// follows from the start position, start velocity and the system's gravity
// over the particle's flight time, colour and size from its age over its
// lifetime. A particle shows once its spawn delay has passed and until its
// lifetime ends; expired and waiting records are moved out of view.
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_velocity;
layout(location = 2) in vec3 a_timing; // spawn delay, lifetime, age

uniform mat4 u_world_matrix;
uniform mat4 u_view_matrix;
uniform mat4 u_projection_matrix;
uniform vec3 u_gravity;
uniform vec3 u_start_color;
uniform vec3 u_end_color;
uniform float u_start_point_size;
uniform float u_end_point_size;

// A point size is in pixels as seen from this many world units away.
const float SIZE_REFERENCE_DISTANCE = 10.0;

out vec3 v_color;
out float v_alpha;

void main()
{
    float spawnDelay = a_timing.x;
    float lifetime = a_timing.y;
    float age = a_timing.z;

    if (age > lifetime || age < spawnDelay || lifetime <= 0.0) {
        v_color = vec3(0.0);
        v_alpha = 0.0;
        gl_PointSize = 1.0;
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }

    float flight = age - spawnDelay;
    float life = clamp(age / lifetime, 0.0, 1.0);
    vec3 local = a_position + a_velocity * flight + 0.5 * u_gravity * flight * flight;
    vec4 eye = u_view_matrix * u_world_matrix * vec4(local, 1.0);

    v_color = mix(u_start_color, u_end_color, life);
    v_alpha = 1.0 - life * life;
    float size = mix(u_start_point_size, u_end_point_size, life);
    gl_PointSize = max(size * SIZE_REFERENCE_DISTANCE / max(-eye.z, 0.1), 0.0);
    gl_Position = u_projection_matrix * eye;
}
