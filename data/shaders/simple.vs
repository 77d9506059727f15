#version 330 core

// Lit, normal-mapped world geometry: the level's floor and stairs (which
// carry tangents) and every box (which does not: attributes 3 and 4 are left
// disabled and read as zero, and the fragment stage derives the frame).
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec2 a_uv;
layout(location = 3) in vec3 a_tangent;
layout(location = 4) in vec3 a_bitangent;

uniform mat4 u_world_matrix;
uniform mat4 u_view_matrix;
uniform mat4 u_projection_matrix;

out vec3 v_world_pos;
out vec3 v_normal;
out vec2 v_uv;
out vec3 v_tangent;
out vec3 v_bitangent;

void main()
{
    vec4 world = u_world_matrix * vec4(a_position, 1.0);
    // Boxes are scaled unevenly, so normals need the inverse transpose.
    mat3 normalMatrix = transpose(inverse(mat3(u_world_matrix)));
    mat3 linear = mat3(u_world_matrix);

    v_world_pos = world.xyz;
    v_normal = normalMatrix * a_normal;
    v_uv = a_uv;
    v_tangent = linear * a_tangent;
    v_bitangent = linear * a_bitangent;
    gl_Position = u_projection_matrix * u_view_matrix * world;
}
