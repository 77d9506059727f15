#version 330 core

// Turns each triangle into three short lines, one along the normal of each
// corner, in world space.
layout(triangles) in;
layout(line_strip, max_vertices = 6) out;

in vec3 v_normal[];

uniform mat4 u_view_matrix;
uniform mat4 u_projection_matrix;

const float NORMAL_LENGTH = 0.5;

void main()
{
    mat4 viewProjection = u_projection_matrix * u_view_matrix;
    for (int i = 0; i < 3; ++i) {
        vec4 base = gl_in[i].gl_Position;
        gl_Position = viewProjection * base;
        EmitVertex();
        gl_Position = viewProjection * (base + vec4(v_normal[i] * NORMAL_LENGTH, 0.0));
        EmitVertex();
        EndPrimitive();
    }
}
