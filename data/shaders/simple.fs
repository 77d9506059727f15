#version 330 core

// One warm point light carried above the hero, a dim ambient term and a soft
// highlight towards the eye. The normal picture is most often the colour
// picture itself, so its brightness is read as relief (bright is raised) and
// the surface normal is tilted by that relief's slope. The normal sampler
// holds the slopes ready made (brightness a texel before minus a texel
// after, across and up), so one read gives what four reads of the picture
// would.
const vec3 AMBIENT = vec3(0.38, 0.38, 0.42);
const vec3 LIGHT_COLOR = vec3(1.0, 0.92, 0.78);
const float BUMP_STRENGTH = 3.0;
const float SHININESS = 32.0;
const float SPECULAR = 0.25;

in vec3 v_world_pos;
in vec3 v_normal;
in vec2 v_uv;
in vec3 v_tangent;
in vec3 v_bitangent;

uniform sampler2D diffuse_texture_sampler;
uniform sampler2D normal_texture_sampler;
uniform vec3 u_light_pos;
uniform vec3 u_view_pos;
uniform float u_alpha;

out vec4 fragColor;

void main()
{
    vec3 N = normalize(v_normal);

    // Tangent frame from the screen-space change of position and uv; taken
    // before any branch so the derivatives are well defined.
    vec3 dp1 = dFdx(v_world_pos);
    vec3 dp2 = dFdy(v_world_pos);
    vec2 duv1 = dFdx(v_uv);
    vec2 duv2 = dFdy(v_uv);
    vec3 dp2perp = cross(dp2, N);
    vec3 dp1perp = cross(N, dp1);
    vec3 derivedT = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 derivedB = dp2perp * duv1.y + dp1perp * duv2.y;
    float frameScale = inversesqrt(max(max(dot(derivedT, derivedT), dot(derivedB, derivedB)), 1e-20));

    vec3 T = derivedT * frameScale;
    vec3 B = derivedB * frameScale;
    if (dot(v_tangent, v_tangent) > 0.25) {
        T = normalize(v_tangent);
        B = normalize(v_bitangent);
    }

    vec2 slope = texture(normal_texture_sampler, v_uv).rg;
    vec3 tangentNormal = normalize(vec3(slope * BUMP_STRENGTH, 1.0));
    vec3 n = normalize(T * tangentNormal.x + B * tangentNormal.y + N * tangentNormal.z);

    vec3 toLight = u_light_pos - v_world_pos;
    float lightDistance = length(toLight);
    vec3 L = toLight / max(lightDistance, 1e-4);
    float attenuation = 1.0 / (1.0 + 0.02 * lightDistance + 0.003 * lightDistance * lightDistance);
    float diffuse = max(dot(n, L), 0.0);

    vec3 V = normalize(u_view_pos - v_world_pos);
    vec3 H = normalize(L + V);
    float facing = step(0.0, dot(N, L));
    float specular = pow(max(dot(n, H), 0.0), SHININESS) * SPECULAR * facing;

    vec4 albedo = texture(diffuse_texture_sampler, v_uv);
    vec3 lit = albedo.rgb * (AMBIENT + LIGHT_COLOR * diffuse * attenuation) + LIGHT_COLOR * specular * attenuation;
    fragColor = vec4(lit, albedo.a * u_alpha);
}
