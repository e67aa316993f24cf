rule Anonymous
{
    strings:
        $ = "first"
        $ = { 41 42 }
        $ = /third/
        $named = "named"
        $ = "last" wide
    condition:
        all of them and for any of them : ( $ at 0 )
}
