#version 330 core

// Debug view of a mesh's normals, in the layout of the lit drawables:
// attribute 0 position, attribute 1 normal.
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;

uniform mat4 u_world_matrix;

out vec3 v_normal;

void main()
{
    v_normal = normalize(transpose(inverse(mat3(u_world_matrix))) * a_normal);
    gl_Position = u_world_matrix * vec4(a_position, 1.0);
}
