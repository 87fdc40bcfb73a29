// Pass-through of the rendered picture onto the screen.
varying vec2 v_texCoords;
uniform sampler2D u_Texture0;

void main()
{
    gl_FragColor = vec4(texture2D(u_Texture0, v_texCoords).rgb, 1.0);
}
